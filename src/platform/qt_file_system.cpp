#include "platform/qt_file_system.h"

#include "platform/file_name_bytes.h"
#include "platform/output_file.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <memory>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

namespace {

// Paths read from settings, list files or the catalogue may use "\" between parts. A path that
// names something as it is written holds a name read from a folder, where "\" is a character.
QString nativePath(const QString &path)
{
    if (!path.contains(QLatin1Char('\\')) || QFileInfo::exists(path))
        return path;
    QString p = path;
    p.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return p;
}

// A rename that never replaces a file already there, as QFile::rename.
bool renameWithoutReplacing(const QByteArray &from, const QByteArray &to)
{
    if (renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL)
        return false;
    // A file system that cannot refuse by itself.
    struct stat info;
    return lstat(to.constData(), &info) != 0 && errno == ENOENT && std::rename(from.constData(), to.constData()) == 0;
}

bool isRegularFile(DIR *dir, const dirent &entry)
{
    if (entry.d_type == DT_REG)
        return true;
    if (entry.d_type != DT_UNKNOWN && entry.d_type != DT_LNK)
        return false;
    struct stat info;
    return fstatat(dirfd(dir), entry.d_name, &info, 0) == 0 && S_ISREG(info.st_mode);
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
    // A name that is not UTF-8 is renamed by its bytes: Qt has no text that opens it.
    if (isUnreadableFileName(from))
        return renameWithoutReplacing(fileNameBytes(from), QFile::encodeName(nativePath(to)));
    return QFile::rename(nativePath(from), nativePath(to));
}

// Names read with the directory iterator and sorted by their character codes: the same order
// as QDir's name sort, without the file information QDir builds for every entry to sort it.
// The recordings list reads a folder of thousands of files at every key.
QStringList QtFileSystem::listFiles(const QString &folder) const
{
    return sortedNames(nativePath(folder), QDir::Files | QDir::Hidden);
}

// Qt's directory iterator passes over names that are not UTF-8, so the folder is read here.
QStringList QtFileSystem::listEveryFile(const QString &folder) const
{
    const std::unique_ptr<DIR, int (*)(DIR *)> dir(opendir(QFile::encodeName(nativePath(folder)).constData()), closedir);
    if (!dir)
        return {};
    QStringList names;
    while (const dirent *entry = readdir(dir.get())) {
        if (isRegularFile(dir.get(), *entry))
            names.append(fileNameFromBytes(entry->d_name));
    }
    std::sort(names.begin(), names.end());
    return names;
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
