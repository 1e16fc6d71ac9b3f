#pragma once

#include "core/database.h"
#include "venue/media_root.h"
#include "venue/server_connection.h"

#include <QString>

#include <mutex>
#include <optional>

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

    // The server's catalogue this copy follows, and the last of its changes applied here.
    struct CopyMark
    {
        QString catalogueId;
        qint64 lastChange = 0;
        bool operator!=(const CopyMark &other) const
        {
            return catalogueId != other.catalogueId || lastChange != other.lastChange;
        }
    };
    // What changed on the server after a change number, read in one snapshot; each query has the
    // change number in its last column.
    struct ServerChanges
    {
        ServerRows singers;
        ServerRows songs;
        ServerRows removed;
    };

    // Applies the changes since the copy's last one. A copy never replaces its songs by itself:
    // a server whose catalogue is not the one the copy follows (another venue's, a replacing
    // push, a backup put back), or a catalogue of the room's own never copied from the server,
    // is refused with CatalogueRefused and the copy left as it is. A new copy, never following
    // anything and holding nothing, takes the server's catalogue.
    Applied catchUp(ServerConnection &server);
    // Replaces the copy with the server's whole catalogue, whatever it was.
    Applied replaceWithServer(ServerConnection &server);

private:
    // A copy moved by another program meanwhile is read for again, a few times.
    static constexpr int kAttempts = 3;

    struct Batch
    {
        QString catalogueId;
        bool whole = false;
        qint64 since = 0;
        std::optional<ServerChanges> changes;
    };

    Applied apply(ServerConnection &server, bool replace);
    Batch readBatch(ServerConnection &server, const CopyMark &mark, bool replace);
    void refuseOtherHistory(ServerConnection &server, const CopyMark &mark, const QString &catalogueId);
    Applied write(const Batch &batch, const CopyMark &mark);

    std::mutex m_mutex;
    Database m_db;
    MediaRoot m_mediaRoot;
};
