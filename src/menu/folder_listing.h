#pragma once

#include <QString>
#include <QStringList>

class MediaPlayer;

// Folder and player helpers of the recordings and multimedia browsers.

// Names in ascending order of their character codes, compared whole.
QStringList sortedByCode(QStringList names);
// folder, a separator unless folder already ends with one, and name.
QString joinPath(const QString &folder, const QString &name);
// Folder names compared as the old file system did, without regard to letter case.
bool sameFolder(const QString &a, const QString &b);
// True while the player plays or is opening a file to play, so a second request waits for it.
bool isPlaying(const MediaPlayer &player);
// Stops and closes what the player plays, if it plays.
void stopPlaying(MediaPlayer &player);
// Opens "file://" + path and plays it.
void playFile(MediaPlayer &player, const QString &path);
