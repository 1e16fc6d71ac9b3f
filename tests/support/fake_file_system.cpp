#include "support/fake_file_system.h"

bool FakeFileSystem::fileExists(const QString &path) const
{
    return !unreadable.contains(path) && QtFileSystem::fileExists(path);
}

bool FakeFileSystem::canListFolder(const QString &path) const
{
    return !unreadable.contains(path) && QtFileSystem::canListFolder(path);
}

QByteArray FakeFileSystem::readAll(const QString &path, bool *ok) const
{
    if (!unreadable.contains(path))
        return QtFileSystem::readAll(path, ok);
    if (ok)
        *ok = false;
    return {};
}

bool FakeFileSystem::createFolder(const QString &path)
{
    written.append(path);
    return !readOnly && QtFileSystem::createFolder(path);
}

bool FakeFileSystem::writeAll(const QString &path, const QByteArray &bytes)
{
    written.append(path);
    return !readOnly && QtFileSystem::writeAll(path, bytes);
}

bool FakeFileSystem::append(const QString &path, const QByteArray &bytes)
{
    written.append(path);
    return !readOnly && QtFileSystem::append(path, bytes);
}

bool FakeFileSystem::deleteFile(const QString &path)
{
    written.append(path);
    return !readOnly && QtFileSystem::deleteFile(path);
}

bool FakeFileSystem::copyFile(const QString &from, const QString &to, bool overwrite)
{
    written.append(to);
    return !readOnly && !copiesFail && QtFileSystem::copyFile(from, to, overwrite);
}

bool FakeFileSystem::moveFile(const QString &from, const QString &to)
{
    written.append(to);
    return !readOnly && QtFileSystem::moveFile(from, to);
}

QString FakeFileSystem::fileSystemType(const QString &path) const
{
    return typeName.isEmpty() ? QtFileSystem::fileSystemType(path) : typeName;
}
