#include "venue/loudness_claims.h"

#include "venue/server_connection.h"
#include "venue/server_schema.h"

namespace {

// Held while the song is measured: the locked row's transaction, rolled back when let go.
class ServerClaim : public LoudnessClaim
{
public:
    explicit ServerClaim(std::unique_ptr<ServerTransaction> transaction)
        : m_transaction(std::move(transaction))
    {
    }

private:
    std::unique_ptr<ServerTransaction> m_transaction;
};

SqlValue valueOr(const std::optional<FileStamp> &stamp, qint64 FileStamp::*field)
{
    return stamp ? SqlValue((*stamp).*field) : SqlValue();
}

} // namespace

ServerLoudnessClaims::ServerLoudnessClaims(QString connectionString)
    : m_connectionString(std::move(connectionString))
{
}

ServerLoudnessClaims::~ServerLoudnessClaims() = default;

ServerConnection &ServerLoudnessClaims::connection()
{
    if (!m_server || !m_server->isOpen()) {
        auto server = std::make_unique<ServerConnection>(m_connectionString);
        ServerSchema::prepare(*server);
        m_server = std::move(server);
    }
    return *m_server;
}

std::unique_ptr<LoudnessClaim> ServerLoudnessClaims::claim(const QString &songNum, const QString &serverFile,
                                                           const std::optional<FileStamp> &stamp)
{
    try {
        return tryClaim(connection(), songNum, serverFile, stamp);
    } catch (const CatalogueUnreachable &) {
        m_server.reset(); // made again at the next claim
        throw;
    }
}

std::unique_ptr<LoudnessClaim> ServerLoudnessClaims::tryClaim(ServerConnection &server, const QString &songNum,
                                                              const QString &serverFile,
                                                              const std::optional<FileStamp> &stamp)
{
    // The row is made and committed on its own, so no room ever waits on another's new row.
    server.exec(QStringLiteral("INSERT INTO loudness_claim (song_num, song_file) VALUES ($1, $2) ON CONFLICT DO NOTHING"),
                {songNum, serverFile});
    auto transaction = std::make_unique<ServerTransaction>(server);
    if (server.exec(QStringLiteral("SELECT 1 FROM loudness_claim WHERE song_num = $1 AND song_file = $2 "
                                   "FOR UPDATE SKIP LOCKED"),
                    {songNum, serverFile})
            .size()
        == 0)
        return nullptr;
    // Measured by another room since this room's copy last followed the server.
    const bool measured =
        server
            .exec(QStringLiteral("SELECT 1 FROM song WHERE song_num = $1 AND song_location = $2 AND "
                                 "song_loudness_file = $2 AND song_loudness_state IS NOT NULL AND "
                                 "song_loudness_size IS NOT DISTINCT FROM $3::bigint AND "
                                 "song_loudness_modified_ns IS NOT DISTINCT FROM $4::bigint LIMIT 1"),
                  {songNum, serverFile, valueOr(stamp, &FileStamp::size), valueOr(stamp, &FileStamp::modifiedNs)})
            .size()
        > 0;
    if (measured)
        return nullptr;
    return std::make_unique<ServerClaim>(std::move(transaction));
}
