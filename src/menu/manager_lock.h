#pragma once

#include <QDateTime>
#include <QString>

#include <functional>

class Clock;
struct MenuContext;

// The lock a venue may put on the manager button: with "ManagerPin = digits" in Setting.ini
// the button first asks for the PIN in the menu itself (state "M"). Digits show as "*", Enter
// confirms, "0" alone and Enter gives up; a wrong PIN says so and goes back to the main menu,
// and after three wrong PINs in a row the button does nothing for a minute.
class ManagerLock
{
public:
    static constexpr int kTriesBeforeLockOut = 3;
    static constexpr int kLockOutSeconds = 60;

    ManagerLock(MenuContext &menu, Clock &clock, std::function<void()> openManager);

    // The manager button was pressed.
    void manager_Click();
    // A key while the PIN is asked for.
    void pin_do(int &KeyAscii);

private:
    QString pin() const;
    void confirm();

    MenuContext &m_menu;
    Clock &m_clock;
    std::function<void()> m_openManager;
    int m_wrongTries = 0;
    QDateTime m_lockedUntil;
};
