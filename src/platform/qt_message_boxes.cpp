#include "platform/qt_message_boxes.h"

#include <QApplication>
#include <QMessageBox>

namespace {

QMessageBox::StandardButton ask(const QString &text, QMessageBox::StandardButtons buttons,
                                QMessageBox::StandardButton defaultButton)
{
    // The modal window the owner works in, even while the window system has not given it the
    // focus back from a box just closed.
    QWidget *window = QApplication::activeModalWidget();
    if (!window)
        window = QApplication::activeWindow();
    QMessageBox box(QMessageBox::NoIcon, QString(), text, buttons, window);
    // A box is a window of its own and takes no font from the one it stands over; it takes
    // that window's font so its text and buttons read like the window's.
    if (window)
        box.setFont(window->font());
    // The text often names a song, a singer or a file: shown as typed, never as markup.
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(defaultButton);
    return QMessageBox::StandardButton(box.exec());
}

} // namespace

void QtMessageBoxes::ok(const QString &text)
{
    ask(text, QMessageBox::Ok, QMessageBox::Ok);
}

bool QtMessageBoxes::yesNo(const QString &text)
{
    return ask(text, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes) == QMessageBox::Yes;
}

MessageBoxes::Answer QtMessageBoxes::yesNoCancel(const QString &text)
{
    switch (ask(text, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes)) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    default:
        return Answer::Cancel;
    }
}
