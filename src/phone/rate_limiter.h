#pragma once

#include <QHash>
#include <QString>

#include <deque>

// At most a number of events per key within a window of time (orders per phone, wrong PINs
// per address). Times are milliseconds of a steady clock, given by the caller.
class RateLimiter
{
public:
    RateLimiter(int limit, qint64 windowMs);

    // True, and the event counted, when key has had fewer than the limit within the window.
    bool allow(const QString &key, qint64 nowMs);
    // Counts an event that happened whether allowed or not (a wrong PIN).
    void count(const QString &key, qint64 nowMs);
    // True when key has had the limit within the window.
    bool blocked(const QString &key, qint64 nowMs);
    // How many keys it remembers: the keys fallen quiet for a window are forgotten.
    int keysRemembered() const { return int(m_events.size()); }

private:
    std::deque<qint64> &recent(const QString &key, qint64 nowMs);

    int m_limit;
    qint64 m_windowMs;
    QHash<QString, std::deque<qint64>> m_events;
    qint64 m_lastSweep = 0;
};
