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

    bool fileExists(const QString &path) const override
    {
        return !unreadable.contains(path) && QtFileSystem::fileExists(path);
    }
    bool canListFolder(const QString &path) const override
    {
        return !unreadable.contains(path) && QtFileSystem::canListFolder(path);
    }
    QByteArray readAll(const QString &path, bool *ok = nullptr) const override
    {
        if (!unreadable.contains(path))
            return QtFileSystem::readAll(path, ok);
        if (ok)
            *ok = false;
        return {};
    }

    bool createFolder(const QString &path) override { return writes(path) && QtFileSystem::createFolder(path); }
    bool writeAll(const QString &path, const QByteArray &bytes) override
    {
        return writes(path) && QtFileSystem::writeAll(path, bytes);
    }
    bool append(const QString &path, const QByteArray &bytes) override
    {
        return writes(path) && QtFileSystem::append(path, bytes);
    }
    bool deleteFile(const QString &path) override { return writes(path) && QtFileSystem::deleteFile(path); }
    bool copyFile(const QString &from, const QString &to, bool overwrite) override
    {
        return writes(to) && !copiesFail && QtFileSystem::copyFile(from, to, overwrite);
    }
    bool moveFile(const QString &from, const QString &to) override { return writes(to) && QtFileSystem::moveFile(from, to); }
    QString fileSystemType(const QString &path) const override
    {
        return typeName.isEmpty() ? QtFileSystem::fileSystemType(path) : typeName;
    }

private:
    // Notes the path; false when every write is refused.
    bool writes(const QString &path)
    {
        written.append(path);
        return !readOnly;
    }
};
