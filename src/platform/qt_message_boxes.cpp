#include "platform/qt_message_boxes.h"

#include <QApplication>
#include <QMessageBox>

namespace {

QMessageBox::StandardButton ask(const QString &text, QMessageBox::StandardButtons buttons,
                                QMessageBox::StandardButton defaultButton)
{
    QMessageBox box(QMessageBox::NoIcon, QString(), text, buttons, QApplication::activeWindow());
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
