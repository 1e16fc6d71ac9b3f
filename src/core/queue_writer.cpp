#include "core/queue_writer.h"

#include "core/database.h"
#include "core/database_error.h"
#include "core/queue_store.h"

#include <utility>

QueueWriter::QueueWriter(QString dbPath, std::optional<std::vector<QueueRow>> stored, QObject *parent)
    : QObject(parent)
    , m_dbPath(std::move(dbPath))
    , m_stored(std::move(stored))
{
    m_worker.start([this] { run(); });
}

QueueWriter::~QueueWriter()
{
    m_worker.stop();
}

void QueueWriter::save(const PlayQueue &queue)
{
    m_worker.hand([&] { m_pending = Snapshot{queue.rows(), queue.revision()}; });
}

bool QueueWriter::flush(int timeoutMs)
{
    return m_worker.flush(timeoutMs);
}

void QueueWriter::run()
{
    Database db(m_dbPath);
    db.setBusyWait(kBusyWaitMs);
    std::optional<Snapshot> snapshot;
    for (;;) {
        const WorkerThread::Turn turn =
            m_worker.wait([this] { return m_pending.has_value(); }, [&] { snapshot = std::exchange(m_pending, std::nullopt); });
        if (turn.stop)
            return;
        try {
            if (m_stored)
                QueueStore::write(db, *m_stored, snapshot->rows);
            else
                QueueStore::rewrite(db, snapshot->rows);
        } catch (const DatabaseError &e) {
            emit failed(e.message());
            // A newer queue handed over meanwhile replaces this one; stopping ends the tries,
            // the kept queue staying as it was last written.
            m_worker.underLock([&] {
                if (!m_pending)
                    m_pending = std::move(snapshot);
            });
            if (!m_worker.rest(kRetryMs))
                return;
            continue;
        }
        m_stored = std::move(snapshot->rows);
        m_written = snapshot->revision;
        m_worker.done(turn.ticket);
        emit written(snapshot->revision);
    }
}
