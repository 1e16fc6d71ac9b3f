#include "core/history_writer.h"

#include "core/database.h"
#include "core/database_error.h"
#include "core/scoped_transaction.h"

#include <QDateTime>

#include <utility>

HistoryWriter::HistoryWriter(QString dbPath, int keepDays, QObject *parent)
    : QObject(parent)
    , m_dbPath(std::move(dbPath))
    , m_keepDays(keepDays)
{
    m_worker.start([this] { run(); });
}

HistoryWriter::~HistoryWriter()
{
    m_worker.stop();
}

HistoryWriter::Play HistoryWriter::start(const PlayRecord &record)
{
    const Play play = ++m_lastPlay;
    update(play, record);
    return play;
}

void HistoryWriter::update(Play play, const PlayRecord &record)
{
    m_worker.hand([&] { m_pending[play] = record; });
}

bool HistoryWriter::flush(int timeoutMs)
{
    return m_worker.flush(timeoutMs);
}

void HistoryWriter::run()
{
    Database db(m_dbPath);
    db.setBusyWait(kBusyWaitMs);
    try {
        const qint64 now = QDateTime::currentSecsSinceEpoch();
        PlayHistory::forgetBefore(db, now - qint64(m_keepDays) * 86400);
    } catch (const DatabaseError &e) {
        emit failed(e.message());
    }
    std::map<Play, PlayRecord> plays;
    for (;;) {
        const WorkerThread::Turn turn = m_worker.wait([this] { return !m_pending.empty(); },
                                                      [&] { plays = std::exchange(m_pending, {}); });
        if (turn.stop)
            return;
        try {
            ScopedTransaction transaction(db);
            std::map<Play, qint64> rows = m_rows;
            for (const auto &[play, record] : plays)
                rows[play] = PlayHistory::write(db, record, rows[play]);
            transaction.commit();
            m_rows = std::move(rows);
        } catch (const DatabaseError &e) {
            emit failed(e.message());
            // Put back for the next try; what was handed over meanwhile is newer and wins.
            m_worker.underLock([&] { m_pending.merge(plays); });
            if (!m_worker.rest(kRetryMs))
                return;
            continue;
        }
        m_worker.done(turn.ticket);
    }
}
