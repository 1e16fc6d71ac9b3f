#pragma once

#include <QString>
#include <QStringList>

class FileSystem;

// Finds the media file a list-file line names, in the list file's folder: the file of that
// name, else the media file whose base name ends in the number written with at least two
// digits ("7" finds "…07.mpg"). The folder is listed once, however many lines ask.
class MediaFileResolver
{
public:
    MediaFileResolver(const FileSystem &fs, QString folder);

    // The full path of the file, or an empty text when there is none.
    QString resolve(const QString &field);

private:
    const QStringList &folderFiles();

    const FileSystem &m_fs;
    QString m_folder;
    QStringList m_files;
    bool m_listed = false;
};
