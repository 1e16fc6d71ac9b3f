#pragma once

#include "platform/file_system.h"

// The file system through QFile, QDir and QStorageInfo.
class QtFileSystem : public FileSystem
{
public:
    Kind kindOf(const QString &path) const override;
    bool fileExists(const QString &path) const override;
    bool folderExists(const QString &path) const override;
    bool createFolder(const QString &path) override;
    QByteArray readAll(const QString &path, bool *ok = nullptr) const override;
    bool writeAll(const QString &path, const QByteArray &bytes) override;
    bool append(const QString &path, const QByteArray &bytes) override;
    bool deleteFile(const QString &path) override;
    bool copyFile(const QString &from, const QString &to, bool overwrite) override;
    bool moveFile(const QString &from, const QString &to) override;
    bool canListFolder(const QString &path) const override;
    QStringList listFiles(const QString &folder) const override;
    QStringList listEveryFile(const QString &folder) const override;
    QStringList listFolders(const QString &folder) const override;
    QDateTime creationTime(const QString &path) const override;
    QString fileSystemType(const QString &path) const override;
};
