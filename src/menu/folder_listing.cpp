#include "menu/folder_listing.h"

#include "core/file_path.h"
#include "platform/media_player.h"

#include <algorithm>

QStringList sortedByCode(QStringList names)
{
    std::sort(names.begin(), names.end());
    return names;
}

QString joinPath(const QString &folder, const QString &name)
{
    if (folder.isEmpty() || endsWithSeparator(folder))
        return folder + name;
    return folder + QLatin1Char('/') + name;
}

bool sameFolder(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

bool isPlaying(const MediaPlayer &player)
{
    const PlayState state = player.playState();
    return state == PlayState::Playing || state == PlayState::Transitioning;
}

void stopPlaying(MediaPlayer &player)
{
    if (!isPlaying(player))
        return;
    player.stop();
    player.close();
}

void playFile(MediaPlayer &player, const QString &path)
{
    player.setUrl(QStringLiteral("file://") + path);
    player.play();
}
