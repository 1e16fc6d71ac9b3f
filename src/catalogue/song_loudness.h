#pragma once

#include "core/database.h"
#include "platform/loudness_meter.h"

#include <QList>
#include <QString>

#include <array>
#include <optional>

class CatalogueStore;
class Database;

// A song waiting to be measured: one of its rows, its number and its file as stored.
struct SongToMeasure
{
    qint64 row = 0;
    QString songNum;
    QString location;
};

// The measured loudness of songs, kept in a table of its own beside each song's rows together
// with the file it was measured from: the values count only while the song plays that file, so
// a song given another file, by any program, is measured again. Every function throws
// DatabaseError when the catalogue cannot be read or written.

// The rows not measured yet (for the file they play) after afterRow, in row order; at most limit.
QList<SongToMeasure> songsToMeasure(Database &db, qint64 afterRow, int limit);
// How many songs after afterRow are not measured yet.
int countSongsToMeasure(Database &db, qint64 afterRow);
// The highest row of the song table, 0 when it is empty: what a run registers comes after it.
qint64 lastSongRow(Database &db);

// Stores what the meter found with every row of the song that plays the file measured, in one
// change of the catalogue's store.
void storeLoudness(CatalogueStore &store, const SongToMeasure &song, const SongLoudness &loudness);
// Marks the song's file as one whose sound cannot be decoded, so it is not tried again at every start.
void markUndecodable(CatalogueStore &store, const SongToMeasure &song);

// The six loudness values of a song as stored (loudness and true peak of channel choice 1, then
// 2, then 3): empty for a channel choice that is silent.
std::array<SqlValue, 6> loudnessColumnValues(const SongLoudness &loudness);

// What was measured for the song: nothing when it is not measured (yet) or cannot be decoded.
std::optional<SongLoudness> findLoudness(Database &db, const QString &songNum);
