#include "core/queue_writer.h"

#include "core/database.h"
#include "core/database_error.h"
#include "core/queue_store.h"

#include <chrono>

namespace {
// Off the window thread the writer can wait out another program's write for longer.
constexpr int kBusyWaitMs = 3000;
} // namespace

QueueWriter::QueueWriter(QString dbPath, std::optional<std::vector<QueueRow>> stored, QObject *parent)
    : QObject(parent)
    , m_dbPath(std::move(dbPath))
    , m_stored(std::move(stored))
{
    m_thread = std::thread([this] { run(); });
}

QueueWriter::~QueueWriter()
{
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_all();
    m_thread.join();
}

void QueueWriter::save(const PlayQueue &queue)
{
    {
        const std::lock_guard lock(m_mutex);
        m_pending = Snapshot{queue.rows(), queue.revision()};
        m_handedOver = queue.revision();
    }
    m_wake.notify_all();
}

bool QueueWriter::flush(int timeoutMs)
{
    std::unique_lock lock(m_mutex);
    return m_done.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                           [this] { return m_written.load() >= m_handedOver; });
}

std::optional<QueueWriter::Snapshot> QueueWriter::next()
{
    std::unique_lock lock(m_mutex);
    m_wake.wait(lock, [this] { return m_pending || m_stopping; });
    std::optional<Snapshot> snapshot = std::move(m_pending);
    m_pending.reset();
    return snapshot;
}

void QueueWriter::run()
{
    Database db(m_dbPath);
    db.setBusyWait(kBusyWaitMs);
    while (std::optional<Snapshot> snapshot = next()) {
        try {
            if (m_stored)
                QueueStore::write(db, *m_stored, snapshot->rows);
            else
                QueueStore::rewrite(db, snapshot->rows);
        } catch (const DatabaseError &e) {
            emit failed(e.message());
            std::unique_lock lock(m_mutex);
            // Stopping ends the tries: the kept queue stays as it was last written.
            if (m_stopping)
                return;
            // A newer queue handed over meanwhile replaces this one.
            if (!m_pending)
                m_pending = std::move(snapshot);
            m_wake.wait_for(lock, std::chrono::milliseconds(kRetryMs), [this] { return m_stopping; });
            continue;
        }
        m_stored = std::move(snapshot->rows);
        {
            const std::lock_guard lock(m_mutex);
            m_written = snapshot->revision;
        }
        m_done.notify_all();
        emit written(snapshot->revision);
    }
}
