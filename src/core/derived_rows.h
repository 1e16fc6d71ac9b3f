#pragma once

class Database;

// What the program derives from songs and singers and keeps in tables of its own: each title's
// and name's stroke-order key (song_order, singer_order, which the lists' indexes order by)
// and each song's loudness (song_loudness). The file's own triggers keep those rows in step
// with whatever any program writes; only the keys need this program, and rows written by
// another program get theirs at start and when the program notices the change. Every
// function throws DatabaseError.
namespace DerivedRows {

// How keys are made: inside a change of the program's own, one batch of a few hundred at most
// (the change's own rows; a backlog another program left is the upkeep's); while the jukebox
// runs, a batch per transaction, so a writer on another thread (the queue) waits for one batch
// at most; at start (or inside a transaction that holds the file anyway, a room's copy catching
// up), all in one, as fast as it goes.
enum class Pace : unsigned char { WithAChange, WhileRunning, AtStart };

// Makes the key of every title and name that has none; how many it made.
int makeMissingKeys(Database &db, Pace pace);

// Puts the derived rows in step with the songs and singers, whoever wrote them: keys made
// under another ICU are made again; a table rebuilt without the triggers gets them back and
// its derived rows are made anew; then every missing key is made. True when anything changed.
bool keepInStep(Database &db, Pace pace);

} // namespace DerivedRows
