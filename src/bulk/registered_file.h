#pragma once

#include "manage/song_records.h"

// True when some song's file is path: the file is registered already.
inline bool isRegisteredFile(Database &db, const QString &path)
{
    return !songsUsingFile(db, path, QString()).isEmpty();
}

// Why a song got no number: every serial of its kind and count is taken.
inline const QString kNoFreeSongNumber = QStringLiteral("這個種類與字數的曲目編號已經用完");
