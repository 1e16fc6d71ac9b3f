#pragma once

#include "core/database.h"
#include "venue/media_root.h"

#include <QString>

#include <mutex>

class ServerConnection;

// The room's copy of the venue's catalogue (its karaoke.mdb): the server's changes since the
// last one applied here are applied in one transaction of the copy, together with the number of
// that change, so a room never shows half a change and a room killed while applying resumes
// from its last whole batch. Safe to call from several threads; one applies at a time.
class RoomCopy
{
public:
    // How long applying waits for the guests' reads and other programs to let go of the file.
    static constexpr int kBusyWaitMs = 10000;

    struct Applied
    {
        int songs = 0;      // song rows written
        int singers = 0;    // singers written
        int removed = 0;    // rows removed
        bool whole = false; // the copy was replaced by the server's whole catalogue
    };

    RoomCopy(const QString &dbPath, MediaRoot mediaRoot);

    // Applies the changes since the copy's last one. A copy of another catalogue of the server
    // (a replacing push) is replaced whole; a catalogue of the room's own, never copied from the
    // server, is refused with DatabaseError and left as it is, unless it is empty.
    Applied catchUp(ServerConnection &server);
    // Replaces the copy with the server's whole catalogue, whatever it was.
    Applied replaceWithServer(ServerConnection &server);

private:
    Applied apply(ServerConnection &server, bool replace);

    std::mutex m_mutex;
    Database m_db;
    MediaRoot m_mediaRoot;
};
