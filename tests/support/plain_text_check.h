#pragma once

#include <QApplication>
#include <QLabel>
#include <QStringList>

// The labels among all widgets that would read their text as markup (by class and object
// name): a title, a singer or a file name shown there could be taken for a picture to load.
// Qt's own labels (tool tips, a message box's icon) are not the program's.
inline QStringList labelsReadingMarkup()
{
    QStringList found;
    if (!qobject_cast<QApplication *>(QCoreApplication::instance()))
        return found;
    for (QWidget *widget : QApplication::allWidgets()) {
        auto *label = qobject_cast<QLabel *>(widget);
        if (!label || label->objectName().startsWith(QLatin1String("qt_"))
            || QLatin1String(label->metaObject()->className()) != QLatin1String("QLabel"))
            continue;
        if (label->textFormat() != Qt::PlainText)
            found.append((label->parentWidget() ? label->parentWidget()->objectName() + QLatin1Char('/') : QString())
                         + label->objectName());
    }
    return found;
}
