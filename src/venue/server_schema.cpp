#include "venue/server_schema.h"

#include "catalogue/catalogue_store.h"
#include "venue/server_connection.h"

#include <QFile>

static void initVenueSchemaResource()
{
    Q_INIT_RESOURCE(venue_schema);
}

namespace {

// Keys of the advisory locks the schema takes; 7201 is the change log's (next_change()).
constexpr int kSchemaLock = 7200;

QString schemaFile(int version)
{
    initVenueSchemaResource();
    QFile file(QString::fromLatin1(ServerSchema::kFiles[size_t(version - 1)]));
    if (!file.open(QIODevice::ReadOnly))
        throw DatabaseError(QStringLiteral("程式缺少曲目伺服器的資料結構檔 %1").arg(file.fileName()));
    return QString::fromUtf8(file.readAll());
}

int versionOn(ServerConnection &server)
{
    if (server.exec(QStringLiteral("SELECT to_regclass('venue_catalogue') IS NULL")).text(0, 0) == QLatin1String("t"))
        return 0;
    ServerRows rows = server.exec(QStringLiteral("SELECT schema_version FROM venue_catalogue"));
    return rows.size() == 1 ? int(rows.integer(0, 0)) : -1;
}

} // namespace

namespace {

// Under the schema's lock: brings the tables up to ServerSchema::kVersion (from none when create), and renews
// the id of a catalogue that moved. False when there are none and create was not given.
bool upgrade(ServerConnection &server, bool create)
{
    ServerTransaction transaction(server);
    server.exec(QStringLiteral("SELECT pg_advisory_xact_lock(%1, 0)").arg(kSchemaLock));
    const int version = versionOn(server);
    if (version < 0 || version > ServerSchema::kVersion)
        throw CatalogueUnreachable(QStringLiteral("無法使用曲目伺服器: 伺服器的資料版本 %1, 本程式只認得到版本 %2")
                                       .arg(version)
                                       .arg(ServerSchema::kVersion));
    if (version == 0 && !create)
        return false;
    for (int step = version + 1; step <= ServerSchema::kVersion; ++step)
        server.run(schemaFile(step));
    if (version < ServerSchema::kVersion)
        server.exec(QStringLiteral("UPDATE venue_catalogue SET schema_version = $1"), {ServerSchema::kVersion});
    server.run(QStringLiteral("UPDATE venue_catalogue SET catalogue_id = gen_random_uuid()::text, "
                              "catalogue_place = catalogue_place() WHERE catalogue_place IS DISTINCT FROM catalogue_place()"));
    transaction.commit();
    return true;
}

} // namespace

bool ServerSchema::prepare(ServerConnection &server)
{
    return upgrade(server, false);
}

void ServerSchema::requireCatalogue(ServerConnection &server)
{
    if (!prepare(server))
        throw CatalogueRefused(QStringLiteral("曲目伺服器的目錄是空的\n(the server has no catalogue tables; "
                                              "a room makes none: --push-catalogue does)"));
}

void ServerSchema::create(ServerConnection &server)
{
    upgrade(server, true);
}

QString ServerSchema::catalogueId(ServerConnection &server)
{
    return server.exec(QStringLiteral("SELECT catalogue_id FROM venue_catalogue")).text(0, 0);
}
