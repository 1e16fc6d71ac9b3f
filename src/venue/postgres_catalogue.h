#pragma once

#include "catalogue/catalogue_store.h"
#include "venue/loudness_claims.h"
#include "venue/media_root.h"
#include "venue/server_connection.h"

#include <QString>

#include <memory>

class RoomCopy;
class ServerWait;

// The venue's catalogue server as the store of a room's catalogue: every change is one
// transaction there (the numbers a registration may give held under a lock per number), and
// the room's copy is brought up to the change before change() returns (at the end of a group
// inside one). The connection is made at the first change and kept; one lost meanwhile (the
// server restarted) is made again before a change begins; a new connection brings the copy up
// first, and a room whose copy is not the server's writes nothing. The store shares the room's
// copy with whoever made it, so a store left behind on a thread (a measurer held up in a file)
// never reaches a copy that is gone. One thread at a time; with a wait given (the window
// thread's store), each change runs on a thread of its own while the wait keeps the windows
// answering and can cancel it.
class PostgresCatalogue : public CatalogueStore
{
public:
    PostgresCatalogue(QString connectionString, MediaRoot mediaRoot, std::shared_ptr<RoomCopy> copy);
    ~PostgresCatalogue() override;

    void change(const std::function<bool(CatalogueRows &)> &write) override;
    void beginGroup() override;
    void endGroup() override;
    bool keepsEachChange() const override { return true; }
    std::unique_ptr<LoudnessClaim> claimLoudness(const SongToMeasure &song) override;

    // The window thread's store: changes wait through wait (nullptr: on the calling thread).
    void setWait(ServerWait *wait) { m_wait = wait; }

private:
    class Rows;

    void changeHere(const std::function<bool(CatalogueRows &)> &write);
    void changeBeside(const std::function<bool(CatalogueRows &)> &write);
    ServerConnection &begin();
    void catchUpCopy();

    QString m_connectionString;
    MediaRoot m_mediaRoot;
    std::shared_ptr<RoomCopy> m_copy;
    std::unique_ptr<ServerConnection> m_server;
    ServerLoudnessClaims m_claims;
    bool m_grouped = false;
    bool m_changedInGroup = false;
    ServerWait *m_wait = nullptr;
    ServerConnection::CancelFlag m_cancelled = std::make_shared<std::atomic<bool>>(false);
};
