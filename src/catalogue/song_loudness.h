#pragma once

#include "core/database.h"
#include "platform/loudness_meter.h"

#include <QList>
#include <QString>

#include <array>
#include <optional>

class Database;

// A song waiting to be measured: one of its rows, its number and its file as stored.
struct SongToMeasure
{
    qint64 row = 0;
    QString songNum;
    QString location;
};

// The measured loudness of songs, kept beside each song's rows. Every function throws
// DatabaseError when the catalogue cannot be read or written.

// The rows not measured yet after afterRow, in row order; at most limit.
QList<SongToMeasure> songsToMeasure(Database &db, qint64 afterRow, int limit);
// How many songs after afterRow are not measured yet.
int countSongsToMeasure(Database &db, qint64 afterRow);
// The highest row of the song table, 0 when it is empty: what a run registers comes after it.
qint64 lastSongRow(Database &db);

// Stores what the meter found in every row of the song, in one statement. A song given another
// file since it was read is left for the next measurement.
void storeLoudness(Database &db, const SongToMeasure &song, const SongLoudness &loudness);
// Marks the song as one whose sound cannot be decoded, so it is not tried again at every start.
void markUndecodable(Database &db, const SongToMeasure &song);

// The six loudness columns of a song row as stored (song_lufs_1, song_peak_1 ... song_peak_3):
// empty for a channel choice that is silent.
std::array<SqlValue, 6> loudnessColumnValues(const SongLoudness &loudness);

// What was measured for the song: nothing when it is not measured (yet) or cannot be decoded.
std::optional<SongLoudness> findLoudness(Database &db, const QString &songNum);
