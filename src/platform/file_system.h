#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

// Files and folders as the program sees them. Every path may use "/" or "\" between parts,
// except that a path naming a file as it is written is taken as written ("\" is a character
// of a file name here).
// Operations that can fail return false (or an empty value) instead of throwing.
class FileSystem
{
public:
    // What stands at a path. Only regular files are ever opened: a pipe or a device under the
    // name of one of the program's files would block it or feed it endless bytes.
    enum class Kind { Missing, File, Folder, Other };

    virtual ~FileSystem() = default;

    virtual Kind kindOf(const QString &path) const = 0;
    virtual bool fileExists(const QString &path) const = 0;
    virtual bool folderExists(const QString &path) const = 0;
    virtual bool createFolder(const QString &path) = 0;

    // Whole file as bytes; empty with ok=false when it is not a regular file or cannot be read.
    virtual QByteArray readAll(const QString &path, bool *ok = nullptr) const = 0;
    // Replaces the file by bytes, or creates it. The new file is written beside the old one and
    // renamed over it, so a crash or a full disk leaves either the old file or the new one whole.
    virtual bool writeAll(const QString &path, const QByteArray &bytes) = 0;
    virtual bool append(const QString &path, const QByteArray &bytes) = 0;

    virtual bool deleteFile(const QString &path) = 0;
    virtual bool copyFile(const QString &from, const QString &to, bool overwrite) = 0;
    virtual bool moveFile(const QString &from, const QString &to) = 0;

    // True when the folder's entries can be read (an unreadable folder lists as empty).
    virtual bool canListFolder(const QString &path) const = 0;
    // Plain names (not paths) of the files and sub-folders of a folder, sorted by name. A name
    // that is not UTF-8 cannot be opened under any text and is left out.
    virtual QStringList listFiles(const QString &folder) const = 0;
    virtual QStringList listFolders(const QString &folder) const = 0;
    // Every file of the folder, sorted by name, the names that are not UTF-8 included as
    // platform/file_name_bytes.h carries them: for a scan that must tell the owner of each file.
    virtual QStringList listEveryFile(const QString &folder) const { return listFiles(folder); }

    virtual QDateTime creationTime(const QString &path) const = 0;
    // Upper-case name of the file system type that holds path ("EXT4", "VFAT", ...).
    virtual QString fileSystemType(const QString &path) const = 0;
};
