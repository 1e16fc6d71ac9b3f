#pragma once

#include <QString>
#include <QStringList>

#include <vector>

class FileSystem;
class Progress;

// A line of a list file that passed every test, with its media file found.
struct BatchSong
{
    QString line;
    QString title;
    int kindCode = -1;
    QString singer;
    int count = 0;
    QString filePath;
};

// The validation pass over a whole list file: every song line, or the message that stops the
// run at the first bad line (nothing is written then). A list may hold any number of lines.
struct BatchCheck
{
    QString message;
    std::vector<BatchSong> songs;
    bool stopped = false; // the owner stopped the check; message says so
    bool ok() const { return message.isEmpty(); }
};

inline const QString kListFileMissing = QStringLiteral("您所指定的披次登錄檔案並不存在ㄛ!");
inline const QString kListCheckStopped = QStringLiteral("批次檔檢查已停止, 沒有登錄任何歌曲");

// Every line is checked as the song-add window checks a song: title and singer as the
// catalogue stores them, the media file a registrable file in the list's folder.
BatchCheck validateListFile(const FileSystem &fs, const QStringList &kindNames, const QString &listPath,
                            Progress &progress);
