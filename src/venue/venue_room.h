#pragma once

#include "venue/media_root.h"
#include "venue/postgres_catalogue.h"
#include "venue/replica_sync.h"
#include "venue/room_copy.h"

#include <QString>

#include <memory>

struct SharedState;

// A room of a venue whose catalogue is shared on a server (CatalogueServer of Setting.ini):
// the room's copy (its karaoke.mdb), the server every change goes to, and the sync. The
// guests' look-ups, the queue, playing and printing read the copy only.
class VenueRoom
{
public:
    // Nothing when Setting.ini names no catalogue server.
    static std::unique_ptr<VenueRoom> forRoom(const SharedState &state);

    VenueRoom(const QString &connectionString, const QString &dbPath, const MediaRoot &mediaRoot);
    ~VenueRoom();

    // The catalogue's store while the room lives: every change goes to the server.
    CatalogueStore &store() { return m_store; }
    // The window thread's changes (the manager windows') wait through wait.
    void setWindowWait(ServerWait *wait) { m_store.setWait(wait); }
    // A store of its own for each connection used on another thread.
    CatalogueStoreMaker storeMaker();

    // Brings the copy up to the server once; the notice to show when it cannot (empty when it did).
    QString catchUpOnce();
    // Starts following the server on a thread of its own.
    std::unique_ptr<ReplicaSync> follow(ReplicaSync::NoticeHandler onNotice, ReplicaSync::AppliedHandler onApplied = {});

    const QString &connectionString() const { return m_connectionString; }
    const MediaRoot &mediaRoot() const { return m_mediaRoot; }
    RoomCopy &copy() { return *m_copy; }

private:
    QString m_connectionString;
    MediaRoot m_mediaRoot;
    std::shared_ptr<RoomCopy> m_copy; // shared with the stores made for other threads
    PostgresCatalogue m_store;
};
