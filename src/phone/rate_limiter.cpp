#include "phone/rate_limiter.h"

RateLimiter::RateLimiter(int limit, qint64 windowMs)
    : m_limit(limit)
    , m_windowMs(windowMs)
{
}

std::deque<qint64> &RateLimiter::recent(const QString &key, qint64 nowMs)
{
    // Keys that fell quiet are forgotten now and then, so strangers cannot fill the memory.
    if (nowMs - m_lastSweep > m_windowMs) {
        m_lastSweep = nowMs;
        m_events.removeIf([&](const auto &entry) { return entry.value().empty() || entry.value().back() <= nowMs - m_windowMs; });
    }
    std::deque<qint64> &events = m_events[key];
    while (!events.empty() && events.front() <= nowMs - m_windowMs)
        events.pop_front();
    return events;
}

bool RateLimiter::allow(const QString &key, qint64 nowMs)
{
    if (blocked(key, nowMs))
        return false;
    count(key, nowMs);
    return true;
}

void RateLimiter::count(const QString &key, qint64 nowMs)
{
    recent(key, nowMs).push_back(nowMs);
}

bool RateLimiter::blocked(const QString &key, qint64 nowMs)
{
    std::deque<qint64> &events = recent(key, nowMs);
    const bool full = int(events.size()) >= m_limit;
    if (events.empty())
        m_events.remove(key);
    return full;
}
