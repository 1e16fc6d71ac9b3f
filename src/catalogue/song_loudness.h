#pragma once

#include "catalogue/file_stamp.h"
#include "core/database.h"
#include "platform/loudness_meter.h"

#include <QList>
#include <QString>

#include <array>
#include <optional>

class CatalogueStore;
class Database;

// A song waiting to be measured: one of its rows, its number and its file as stored, with the
// file's stamp as it was before measuring began (nothing when it could not be looked at).
struct SongToMeasure
{
    qint64 row = 0;
    QString songNum;
    QString location;
    std::optional<FileStamp> stamp;
};

// A song's row as the catalogue keeps it for measuring: whether values (or the mark that it
// cannot be decoded) are kept for the file it plays now, and the stamp kept with them.
struct SongOnRecord
{
    SongToMeasure song;
    bool keptForFile = false;
    std::optional<FileStamp> keptStamp;
};

// The measured loudness of songs, kept in a table of its own beside each song's rows together
// with the file it was measured from: the values count only while the song plays that file, so
// a song given another file, by any program, is measured again. Every function throws
// DatabaseError when the catalogue cannot be read or written.

// The song rows after afterRow, in row order, at most limit, as kept for measuring.
QList<SongOnRecord> songsOnRecord(Database &db, qint64 afterRow, int limit);
// The song of the row, stamped now, when it is to be measured: nothing is kept for the file it
// plays, or what is kept came from a file of another size or modification time (or from before
// stamps were kept). A file that cannot be looked at now keeps what it has. Looks at the file:
// never on the window thread.
std::optional<SongToMeasure> toMeasure(const SongOnRecord &record, const QString &appPath);
// The rows to be measured after afterRow, in row order; at most limit.
QList<SongToMeasure> songsToMeasure(Database &db, const QString &appPath, qint64 afterRow, int limit);
// How many songs after afterRow are to be measured.
int countSongsToMeasure(Database &db, const QString &appPath, qint64 afterRow);
// The highest row of the song table, 0 when it is empty: what a run registers comes after it.
qint64 lastSongRow(Database &db);

// Stores what the meter found with every row of the song that plays the file measured, and the
// file's stamp, in one change of the catalogue's store.
void storeLoudness(CatalogueStore &store, const SongToMeasure &song, const SongLoudness &loudness);
// Marks the song's file as one whose sound cannot be decoded, so it is not tried again at every start.
void markUndecodable(CatalogueStore &store, const SongToMeasure &song);

// The six loudness values of a song as stored (loudness and true peak of channel choice 1, then
// 2, then 3): empty for a channel choice that is silent.
std::array<SqlValue, 6> loudnessColumnValues(const SongLoudness &loudness);

// The stamp of the file measured as stored (file size, then modification time): empty when it
// could not be looked at.
std::array<SqlValue, 2> stampColumnValues(const SongToMeasure &song);

// What was measured for the song: nothing when it is not measured (yet) or cannot be decoded.
std::optional<SongLoudness> findLoudness(Database &db, const QString &songNum);
