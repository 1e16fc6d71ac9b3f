#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

class FileSystem;

// Finds the media file a list-file line names, in the list file's folder: the media file of
// that name, else the first media file (by name) whose base name ends in the number written
// with at least two digits ("7" finds "…07.mpg"). Only files with a registrable extension in
// that very folder are found. The folder is read once, however many lines ask. A .cdg with an
// .mp3 beside it is found as that .mp3, the file its pair is registered as.
class MediaFileResolver
{
public:
    MediaFileResolver(const FileSystem &fs, QString folder);

    // The full path of the file, or an empty text when there is none.
    QString resolve(const QString &field);

private:
    void indexFolder();

    const FileSystem &m_fs;
    QString m_folder;
    QStringList m_files;
    // Every ending of every media file's base name (case folded), with the first file that has it.
    QHash<QString, int> m_firstByEnding;
    bool m_indexed = false;
};
