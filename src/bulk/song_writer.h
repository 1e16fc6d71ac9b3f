#pragma once

#include <QElapsedTimer>

#include <functional>

class CatalogueStore;
class DatabaseError;

// True for an error after which no song of a run can be stored: another program holds the
// catalogue, or it cannot be written at all (a full disk).
bool endsTheRun(const DatabaseError &e);

// Writes songs one at a time, each whole or not at all, in groups of the catalogue's store
// ended about every quarter of a second. In the catalogue file a group is one transaction (each
// song a savepoint in it): a crash or a kill leaves each song registered or absent while the
// disk is synced a few times a second instead of once per song, and the group holds the write
// lock, so what a song's write decides (the file not yet registered, the number free) holds
// until it is committed; a song counts as stored only once its group is. On a venue's server
// each song is committed on its own, and the room's copy catches up at each group's end.
class SongWriter
{
public:
    explicit SongWriter(CatalogueStore &store);
    ~SongWriter();
    SongWriter(const SongWriter &) = delete;
    SongWriter &operator=(const SongWriter &) = delete;

    // Runs write (one change of the store) in the group: on an exception nothing of it stays
    // and the exception goes on. write returns whether it stored a song.
    void writeSong(const std::function<bool()> &write);
    // Ends the group, keeping every song written so far, before a dialog or a file deletion that
    // must follow it. On a failure the songs of the group are lost (lostSongs) and the error
    // goes on.
    void commit();

    int storedSongs() const { return m_stored; }
    int lostSongs() const { return m_lost; }

private:
    CatalogueStore &m_store;
    bool m_grouped = false;
    QElapsedTimer m_sinceCommit;
    int m_pending = 0;
    int m_stored = 0;
    int m_lost = 0;
};
