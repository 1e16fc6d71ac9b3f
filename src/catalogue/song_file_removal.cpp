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
    return fs.deleteFile(path);
}
