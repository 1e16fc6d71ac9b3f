#include "venue/venue_room.h"

#include "core/shared_state.h"
#include "venue/server_connection.h"
#include "venue/server_schema.h"

std::unique_ptr<VenueRoom> VenueRoom::forRoom(const SharedState &state)
{
    const QString server = state.settings.CatalogueServer;
    if (server.isEmpty())
        return nullptr;
    return std::make_unique<VenueRoom>(server, state.DbPath, MediaRoot(state.settings.MediaRoot, state.AppPath));
}

VenueRoom::VenueRoom(const QString &connectionString, const QString &dbPath, const MediaRoot &mediaRoot)
    : m_connectionString(connectionString)
    , m_mediaRoot(mediaRoot)
    , m_copy(std::make_shared<RoomCopy>(dbPath, mediaRoot))
    , m_store(connectionString, mediaRoot, m_copy)
{
}

VenueRoom::~VenueRoom() = default;

CatalogueStoreMaker VenueRoom::storeMaker()
{
    return [connectionString = m_connectionString, mediaRoot = m_mediaRoot, copy = m_copy](Database &) {
        return std::make_unique<PostgresCatalogue>(connectionString, mediaRoot, copy);
    };
}

QString VenueRoom::catchUpOnce()
{
    try {
        ServerConnection server(m_connectionString);
        ServerSchema::requireCatalogue(server);
        m_copy->catchUp(server);
        return {};
    } catch (const DatabaseError &e) {
        return copyNotice(e.message());
    }
}

std::unique_ptr<ReplicaSync> VenueRoom::follow(ReplicaSync::NoticeHandler onNotice, ReplicaSync::AppliedHandler onApplied)
{
    return std::make_unique<ReplicaSync>(m_connectionString, *m_copy, std::move(onNotice), std::move(onApplied));
}
