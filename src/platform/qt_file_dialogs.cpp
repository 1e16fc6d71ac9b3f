#include "platform/qt_file_dialogs.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>

QString QtFileDialogs::openFile(const QString &startFolder, const QString &filter)
{
    return QFileDialog::getOpenFileName(QApplication::activeWindow(), QString(), startFolder, filter);
}

QString QtFileDialogs::openFileTitled(const QString &title, const QString &startFolder, const QString &filter)
{
    return QFileDialog::getOpenFileName(QApplication::activeWindow(), title, startFolder, filter);
}

QString QtFileDialogs::saveFile(const QString &startFolder, const QString &initialName, const QString &filter)
{
    return QFileDialog::getSaveFileName(QApplication::activeWindow(), QString(),
                                        QDir(startFolder).filePath(initialName), filter);
}
