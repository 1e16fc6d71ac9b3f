#include "manage/media_file_removal.h"

#include "core/shared_state.h"
#include "manage/song_records.h"
#include "platform/file_system.h"
#include "platform/message_boxes.h"
#include "platform/services.h"

#include <QStringList>

void removeMediaFile(SharedState &state, Services &services, const QString &path, const QString &exceptNum)
{
    if (path.trimmed().isEmpty())
        return;
    const QStringList others = songsUsingFile(state.db(), path, exceptNum);
    if (!others.isEmpty()
        && !services.messageBoxes.yesNo(QStringLiteral("編號") + others.join(QLatin1Char(','))
                                        + QStringLiteral("的歌曲也使用這個檔案:\n") + path
                                        + QStringLiteral("\n是否仍要刪除這個檔案?")))
        return;
    // A file already gone is no failure.
    services.fileSystem.deleteFile(path);
}
