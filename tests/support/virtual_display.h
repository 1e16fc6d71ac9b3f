#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>

// An X display of the test's own (Xvfb, from scripts/install-deps.sh) for the real program
// with real windows, and the guest's keypad on it (xdotool). started() is false, with a
// reason, when Xvfb is missing or no display number is free.
class VirtualDisplay
{
public:
    VirtualDisplay();
    ~VirtualDisplay();
    VirtualDisplay(const VirtualDisplay &) = delete;
    VirtualDisplay &operator=(const VirtualDisplay &) = delete;

    bool started() const { return !m_name.isEmpty(); }
    QString whyNot() const { return m_problem; }
    // DISPLAY, and the window system the program is to use.
    QProcessEnvironment environment() const;
    // Presses a key of the keypad (an xdotool key name: "6", "Return") on the focused window.
    bool press(const QString &key) const;

private:
    QProcess m_server;
    QString m_name;
    QString m_problem;
};
