#pragma once

#include "platform/qt_file_system.h"

#include <QStringList>

// The real file system, except that it can be told to refuse every write (a read-only
// program folder, which root cannot make with chmod), every copy (a full disk) or reading
// some files (no read permission), to name another file-system type, and records the paths
// written.
class FakeFileSystem : public QtFileSystem
{
public:
    bool readOnly = false;
    bool copiesFail = false;
    QString typeName; // when set, the file-system type of every path
    QStringList unreadable; // files and folders
    QStringList written;

    bool fileExists(const QString &path) const override;
    bool canListFolder(const QString &path) const override;
    QByteArray readAll(const QString &path, bool *ok = nullptr) const override;

    bool createFolder(const QString &path) override;
    bool writeAll(const QString &path, const QByteArray &bytes) override;
    bool append(const QString &path, const QByteArray &bytes) override;
    bool deleteFile(const QString &path) override;
    bool copyFile(const QString &from, const QString &to, bool overwrite) override;
    bool moveFile(const QString &from, const QString &to) override;
    QString fileSystemType(const QString &path) const override;
};
