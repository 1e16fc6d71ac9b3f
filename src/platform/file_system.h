#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

// Files and folders as the program sees them. Every path may use "/" or "\" between parts.
// Operations that can fail return false (or an empty value) instead of throwing.
class FileSystem
{
public:
    virtual ~FileSystem() = default;

    virtual bool fileExists(const QString &path) const = 0;
    virtual bool folderExists(const QString &path) const = 0;
    virtual bool createFolder(const QString &path) = 0;

    // Whole file as bytes; nullopt-like empty result with ok=false when it cannot be read.
    virtual QByteArray readAll(const QString &path, bool *ok = nullptr) const = 0;
    // Creates or truncates the file and writes bytes.
    virtual bool writeAll(const QString &path, const QByteArray &bytes) = 0;
    virtual bool append(const QString &path, const QByteArray &bytes) = 0;

    virtual bool deleteFile(const QString &path) = 0;
    virtual bool copyFile(const QString &from, const QString &to, bool overwrite) = 0;
    virtual bool moveFile(const QString &from, const QString &to) = 0;

    // Plain names (not paths) of the files and sub-folders of a folder, sorted by name.
    virtual QStringList listFiles(const QString &folder) const = 0;
    virtual QStringList listFolders(const QString &folder) const = 0;

    virtual QDateTime creationTime(const QString &path) const = 0;
    // Upper-case name of the file system type that holds path ("EXT4", "VFAT", ...).
    virtual QString fileSystemType(const QString &path) const = 0;
};
