#pragma once

#include "core/scoped_transaction.h"

#include <QElapsedTimer>

#include <functional>
#include <optional>

class CatalogueMaster;
class Database;
class DatabaseError;

// True for an error after which no song of a run can be stored: another program holds the
// catalogue, or it cannot be written at all (a full disk).
bool endsTheRun(const DatabaseError &e);

// Writes songs one at a time, each whole or not at all: every song is a savepoint inside a
// transaction that is committed about every quarter of a second, so a crash or a kill leaves
// each song registered or absent while the disk is synced a few times a second instead of
// once per song. The group holds the catalogue's write lock, so what a song's write decides
// (the file not yet registered, the number free) holds until it is committed. A song counts
// as stored only once its group is committed. When the catalogue's master is a venue's server,
// each song is committed there on its own and the room's copy catches up at each group's end.
class SongWriter
{
public:
    explicit SongWriter(Database &db);
    ~SongWriter();
    SongWriter(const SongWriter &) = delete;
    SongWriter &operator=(const SongWriter &) = delete;

    // Runs write as one piece: on an exception nothing of it stays and the exception goes on.
    // write returns whether it stored a song.
    void writeSong(const std::function<bool()> &write);
    // Commits every song written so far, before a dialog or a file deletion that must follow
    // it. On a failure the songs of the group are lost (lostSongs) and the error goes on.
    void commit();

    int storedSongs() const { return m_stored; }
    int lostSongs() const { return m_lost; }

private:
    void writeOnMaster(CatalogueMaster &master, const std::function<bool()> &write);

    Database &m_db;
    std::optional<ScopedTransaction> m_group;
    CatalogueMaster *m_masterGroup = nullptr; // a group open on the master
    QElapsedTimer m_sinceCommit;
    int m_pending = 0;
    int m_stored = 0;
    int m_lost = 0;
};
