#include "venue/replica_sync.h"

#include "catalogue/catalogue_store.h"
#include "venue/room_copy.h"
#include "venue/server_connection.h"
#include "venue/server_schema.h"

#include <QtDebug>

namespace {
// How often the wait for a notice looks whether the sync is to stop.
constexpr int kListenSliceMs = 200;
} // namespace

QString copyNotice(const QString &problem)
{
    return problem.section(QLatin1Char('\n'), 0, 0) + QStringLiteral(" (以本機的曲目播放)");
}

ReplicaSync::ReplicaSync(QString connectionString, RoomCopy &copy, NoticeHandler onNotice, AppliedHandler onApplied)
    : m_connectionString(std::move(connectionString))
    , m_copy(copy)
    , m_onNotice(std::move(onNotice))
    , m_onApplied(std::move(onApplied))
{
    m_worker.start([this] { run(); });
}

ReplicaSync::~ReplicaSync()
{
    m_worker.stop();
}

void ReplicaSync::run()
{
    int retryMs = kFirstRetryMs;
    while (!m_worker.stopping()) {
        try {
            ServerConnection server(m_connectionString);
            ServerSchema::requireCatalogue(server);
            server.run(QStringLiteral("LISTEN catalogue_changed"));
            catchUp(server);
            tell({}, {});
            retryMs = kFirstRetryMs;
            follow(server);
        } catch (const CatalogueBusy &e) {
            // The room's own file is held by another program for now: the next try applies it.
            qWarning("catalogue copy waits: %s", qPrintable(e.message()));
        } catch (const DatabaseError &e) {
            tell(copyNotice(e.message()), e.message());
        }
        if (!m_worker.rest(retryMs))
            return;
        retryMs = qMin(retryMs * 2, kLastRetryMs);
    }
}

void ReplicaSync::follow(ServerConnection &server)
{
    while (!m_worker.stopping()) {
        if (!server.waitForNotification(kListenSliceMs))
            continue;
        // A bulk run commits a song every few milliseconds: one batch for the whole burst.
        if (!m_worker.rest(kGatherMs))
            return;
        server.waitForNotification(0);
        catchUp(server);
    }
}

void ReplicaSync::catchUp(ServerConnection &server)
{
    m_copy.catchUp(server);
    if (m_onApplied)
        m_onApplied();
}

void ReplicaSync::tell(const QString &notice, const QString &reason)
{
    if (notice == m_notice)
        return;
    m_notice = notice;
    if (!reason.isEmpty())
        qWarning("catalogue copy does not follow the server: %s", qPrintable(QString(reason).replace(QLatin1Char('\n'), QLatin1String(": "))));
    if (m_onNotice)
        m_onNotice(notice);
}
