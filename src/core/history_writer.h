#pragma once

#include "core/play_history.h"
#include "core/worker_thread.h"

#include <QObject>
#include <QString>

#include <map>
#include <optional>

// Keeps the play history in the catalogue file from a thread of its own (core/worker_thread.h),
// so the keypad never waits for the disk. Each play is handed over whole, as often as it
// changes; changes of one play that come while a write is under way are written together, the
// newest winning. A write that fails is tried again until it holds.
class HistoryWriter : public QObject
{
    Q_OBJECT

public:
    using Play = quint64; // names one play for as long as the program runs

    static constexpr int kRetryMs = 500;
    static constexpr int kBusyWaitMs = 3000;

    // Writes into the catalogue at dbPath; plays started more than keepDays ago are forgotten
    // once at start.
    HistoryWriter(QString dbPath, int keepDays, QObject *parent = nullptr);
    // Writes what was handed over and not yet written, then stops.
    ~HistoryWriter() override;

    // A new play: its row is written when the writer gets to it. Returns at once.
    Play start(const PlayRecord &record);
    // The play as it is now. Returns at once.
    void update(Play play, const PlayRecord &record);
    // Waits until all that was handed over is written, at most timeoutMs; true when it is.
    bool flush(int timeoutMs);

signals:
    // A write failed and waits to be tried again. Sent from the writer's thread.
    void failed(const QString &reason);

private:
    void run();

    QString m_dbPath;
    int m_keepDays;
    Play m_lastPlay = 0;                    // the window thread's own
    std::map<Play, PlayRecord> m_pending;   // under the worker's lock
    std::map<Play, qint64> m_rows;          // the loop's own: the row of each play written
    WorkerThread m_worker;
};
