#pragma once

#include "platform/qt_file_system.h"

#include <QStringList>

// The real file system, except that it can be told to refuse every write (a read-only
// program folder, which root cannot make with chmod) and records the paths written.
class FakeFileSystem : public QtFileSystem
{
public:
    bool readOnly = false;
    QStringList written;

    bool createFolder(const QString &path) override;
    bool writeAll(const QString &path, const QByteArray &bytes) override;
    bool append(const QString &path, const QByteArray &bytes) override;
    bool deleteFile(const QString &path) override;
    bool copyFile(const QString &from, const QString &to, bool overwrite) override;
    bool moveFile(const QString &from, const QString &to) override;
};
