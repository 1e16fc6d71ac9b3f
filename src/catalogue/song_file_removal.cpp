#include "catalogue/song_file_removal.h"

#include "catalogue/song_files.h"
#include "platform/file_system.h"
#include "platform/message_boxes.h"

#include <QStringList>

bool removeSongFile(Database &db, FileSystem &fs, MessageBoxes &boxes, const QString &appPath, const QString &location,
                    const QString &exceptNum)
{
    const QString path = songFilePath(appPath, location);
    if (path.isEmpty())
        return false;
    const QStringList others = songsUsingFile(db, appPath, path, exceptNum);
    if (!others.isEmpty()
        && !boxes.yesNo(QStringLiteral("編號") + others.join(QLatin1Char(',')) + QStringLiteral("的歌曲也使用這個檔案:\n")
                        + path + QStringLiteral("\n是否仍要刪除這個檔案?")))
        return false;
    const QStringList partners = songFileParts(path).mid(1);
    if (!fs.deleteFile(path))
        return false;
    // The .cdg of a pair goes with its .mp3 (and the other way round) unless a song plays it;
    // one that stays behind harms nothing.
    for (const QString &partner : partners) {
        if (songsUsingFile(db, appPath, partner, exceptNum).isEmpty())
            fs.deleteFile(partner);
    }
    return true;
}
