#pragma once

#include <QDialog>
#include <QList>
#include <QSize>

#include <functional>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
struct Services;
struct SharedState;

// The song kinds as the kind lists show them; the first character is the stored code.
const QStringList &songKindEntries();
// The character counts the count lists offer, "1" to "30".
const QStringList &textCountEntries();
// Today as the catalogue writes dates, "YYYY/MM/DD".
QString todayText(const Services &services);

// A window of manager mode: a real dialog whose controls are placed on a design grid in
// pixels and then scaled, window and controls alike, so that the window takes a given share
// of the screen's width, with its text in "標楷體". Every action of its controls runs guarded:
// a catalogue that fails or is busy is told in a message box and the window stays as it was.
class ManagerDialog : public QDialog
{
    Q_OBJECT

public:
    ManagerDialog(SharedState &state, Services &services, QSize screen, const QString &name, const QString &caption,
                  QSize designSize, QWidget *parent);

    // Runs work; a catalogue error is shown and false returned. Nothing it did is kept unless
    // it committed, so the catalogue stays as it was.
    bool guarded(const std::function<void()> &work);

protected:
    QLabel *addLabel(QWidget *parent, const QString &name, const QString &text, QRect geometry);
    QLineEdit *addTextBox(QWidget *parent, const QString &name, QRect geometry);
    QPushButton *addButton(QWidget *parent, const QString &name, const QString &caption, QRect geometry,
                           std::function<void()> click);
    // A drop-down list the owner picks from but cannot type into; nothing is chosen at first.
    QComboBox *addList(QWidget *parent, const QString &name, const QStringList &entries, QRect geometry);
    QGroupBox *addFrame(const QString &name, const QString &caption, QRect geometry);
    QListWidget *addListBox(QWidget *parent, const QString &name, QRect geometry);
    // A label on the left and its field beside it, on one row of height h.
    QLineEdit *addLabelledTextBox(QWidget *parent, const QString &labelName, const QString &label,
                                  const QString &name, int x, int y, int labelWidth, int fieldWidth, int h = 30);

    // Plays a song file (a path as songFilePath gives it) in the preview window.
    void previewFile(const QString &path, const QString &caption);
    // The open-file dialog, starting from the folder of the path in box; the file chosen goes into box.
    void chooseFileInto(QLineEdit *box);
    // A control made elsewhere that fitToScreen scales with the others.
    void registerControl(QWidget *control) { m_controls.append(control); }
    // Scales the window and every control so the window is widthShare of the screen wide.
    void fitToScreen(double widthShare);
    void centreOnScreen();

    SharedState &m_state;
    Services &m_services;
    QSize m_screen;

private:
    template<class Control> Control *place(Control *control, const QString &name, QRect geometry);

    QList<QWidget *> m_controls;
};
