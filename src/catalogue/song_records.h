#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

class CatalogueStore;
class Database;

// One row of the song table. A song sung by several singers has one row per singer, all
// under one number.
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

// A line of the song search of manager mode: one per song and singer.
struct SongSearchHit
{
    QString song_num;
    QString song_name;
    QString singer_name;
};

// Songs as manager mode and registration read and write them: reads from the catalogue file,
// changes through the catalogue's store. Every function throws DatabaseError when the
// catalogue cannot be read or written, and CatalogueRefusal (nothing written) when a record is
// not fit to be stored (record_checks.h).

// Writes kind, title, count, singer, date and file of every row of song.song_num: a song of
// several singers becomes the song of this one singer. The number itself never changes.
void updateSong(CatalogueStore &store, const SongRecord &song);
// Gives every row of that number a new title.
void renameSong(CatalogueStore &store, const QString &songNum, const QString &title);
// Removes every row of that number (one per singer).
void deleteSong(CatalogueStore &store, const QString &songNum);

// The first row of that number.
std::optional<SongRecord> findSong(Database &db, const QString &songNum);
// True when some song has that number.
bool isSongNumberTaken(Database &db, const QString &songNum);
// The songs whose title or number holds titleFragment and whose singer's name holds
// singerFragment (empty fragments match everything), by title length and title in stroke
// order; at most maxRows, *more telling whether there were others.
QList<SongSearchHit> searchSongs(Database &db, const QString &titleFragment, const QString &singerFragment,
                                 int maxRows, bool *more);
