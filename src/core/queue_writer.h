#pragma once

#include "core/play_queue.h"
#include "core/worker_thread.h"

#include <QObject>
#include <QString>

#include <atomic>
#include <optional>
#include <vector>

// Keeps the play queue in the catalogue file from a thread of its own (core/worker_thread.h),
// so neither the keypad nor the phone server waits for the disk. Changes that come while a
// write is under way are written together in the next transaction; a write that fails (the
// file held by another program for longer than the writer waits) is tried again until it
// holds, with no further change needed to carry it.
class QueueWriter : public QObject
{
    Q_OBJECT

public:
    static constexpr int kRetryMs = 500;
    // Off the window thread the writer can wait out another program's write for longer.
    static constexpr int kBusyWaitMs = 3000;

    // Writes into the catalogue at dbPath, whose table holds stored now; nullopt when it could
    // not be read, and the first write then clears it.
    QueueWriter(QString dbPath, std::optional<std::vector<QueueRow>> stored, QObject *parent = nullptr);
    // Writes what was handed over and not yet written, then stops.
    ~QueueWriter() override;

    // Hands over the queue as it is now. Returns at once.
    void save(const PlayQueue &queue);
    // Waits until all that was handed over is written, at most timeoutMs; true when it is.
    bool flush(int timeoutMs);
    quint64 writtenRevision() const { return m_written.load(); }

signals:
    // The queue up to that revision is on disk. Sent from the writer's thread.
    void written(quint64 revision);
    // A write failed and waits to be tried again. Sent from the writer's thread at each try.
    void failed(const QString &reason);

private:
    struct Snapshot
    {
        std::vector<QueueRow> rows;
        quint64 revision = 0;
    };
    void run();

    QString m_dbPath;
    std::optional<std::vector<QueueRow>> m_stored; // the loop's own: what the table holds, if known
    std::optional<Snapshot> m_pending;               // under the worker's lock
    std::atomic<quint64> m_written{0};
    WorkerThread m_worker;
};
