#pragma once

#include <QString>

class Database;

// One row of the song table as registration writes it.
struct SongRecord
{
    QString song_num;
    int song_kind = 0;
    QString song_name;
    int song_text_count = 0;
    qint64 song_singer_code = 0;
    QString song_build_date; // "YYYY/MM/DD"
    QString song_location;
};

// Adds the song (as one piece with whatever transaction is open). Throws DatabaseError.
void insertSong(Database &db, const SongRecord &song);
// Removes every row of that number (one per singer). Throws DatabaseError.
void deleteSong(Database &db, const QString &songNum);
// The numbers of the songs other than exceptNum whose file is path.
QStringList songsUsingFile(Database &db, const QString &path, const QString &exceptNum);
