#include "platform/qt_file_system.h"

#include "platform/output_file.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>

#include <algorithm>

namespace {

// Paths read from settings, list files or the catalogue may use "\" between parts.
QString nativePath(const QString &path)
{
    QString p = path;
    p.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return p;
}

QStringList sortedNames(const QString &folder, QDir::Filters filters)
{
    QStringList names;
    QDirIterator it(folder, filters);
    while (it.hasNext()) {
        it.next();
        names.append(it.fileName());
    }
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

FileSystem::Kind QtFileSystem::kindOf(const QString &path) const
{
    const QFileInfo info(nativePath(path));
    if (!info.exists())
        return info.isSymLink() ? Kind::Other : Kind::Missing; // a link to nothing is not missing
    if (info.isFile())
        return Kind::File;
    return info.isDir() ? Kind::Folder : Kind::Other;
}

bool QtFileSystem::fileExists(const QString &path) const
{
    QFile file(nativePath(path));
    return QFileInfo(file).isFile() && file.open(QIODevice::ReadOnly);
}

bool QtFileSystem::folderExists(const QString &path) const
{
    return !path.isEmpty() && QFileInfo(nativePath(path)).isDir();
}

bool QtFileSystem::canListFolder(const QString &path) const
{
    const QFileInfo info(nativePath(path));
    return info.isDir() && info.isReadable() && info.isExecutable();
}

bool QtFileSystem::createFolder(const QString &path)
{
    return QDir().mkdir(nativePath(path));
}

QByteArray QtFileSystem::readAll(const QString &path, bool *ok) const
{
    QFile file(nativePath(path));
    const bool opened = QFileInfo(file).isFile() && file.open(QIODevice::ReadOnly);
    if (ok)
        *ok = opened;
    return opened ? file.readAll() : QByteArray();
}

bool QtFileSystem::writeAll(const QString &path, const QByteArray &bytes)
{
    return OutputFile::write(nativePath(path), bytes);
}

bool QtFileSystem::append(const QString &path, const QByteArray &bytes)
{
    QFile file(nativePath(path));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        return false;
    const bool written = file.write(bytes) == bytes.size();
    return flushToDisk(file) && written;
}

bool QtFileSystem::deleteFile(const QString &path)
{
    return QFile::remove(nativePath(path));
}

bool QtFileSystem::copyFile(const QString &from, const QString &to, bool overwrite)
{
    const QString target = nativePath(to);
    if (QFileInfo::exists(target)) {
        if (!overwrite || !QFile::remove(target))
            return false;
    }
    return QFile::copy(nativePath(from), target);
}

bool QtFileSystem::moveFile(const QString &from, const QString &to)
{
    return QFile::rename(nativePath(from), nativePath(to));
}

// Names read with the directory iterator and sorted by their character codes: the same order
// as QDir's name sort, without the file information QDir builds for every entry to sort it.
// The recordings list reads a folder of thousands of files at every key.
QStringList QtFileSystem::listFiles(const QString &folder) const
{
    return sortedNames(nativePath(folder), QDir::Files | QDir::Hidden);
}

QStringList QtFileSystem::listFolders(const QString &folder) const
{
    return sortedNames(nativePath(folder), QDir::Dirs | QDir::NoDotAndDotDot);
}

QDateTime QtFileSystem::creationTime(const QString &path) const
{
    const QFileInfo info(nativePath(path));
    const QDateTime born = info.birthTime();
    return born.isValid() ? born : info.lastModified();
}

QString QtFileSystem::fileSystemType(const QString &path) const
{
    return QString::fromLatin1(QStorageInfo(nativePath(path)).fileSystemType()).toUpper();
}
