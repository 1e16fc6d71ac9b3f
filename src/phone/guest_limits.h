#pragma once

#include "phone/rate_limiter.h"

#include <QHash>
#include <QString>

// How much one guest may ask of the jukebox, counted as each request arrives and keyed on the
// address it came from (which a guest cannot choose freely), besides the phone's own id (which
// a script can make up anew for every request). Times are milliseconds of a steady clock.
class GuestLimits
{
public:
    static constexpr int kOrdersPerMinute = 20;  // per phone, and per address
    static constexpr int kReadsPerMinute = 300;  // searches and browsing per address

    // An order, counted against the phone and its address when both allow it.
    bool allowOrder(const QString &address, const QString &phone, qint64 nowMs);
    // A search or a page of browsing.
    bool allowRead(const QString &address, qint64 nowMs);

private:
    RateLimiter m_ordersByPhone{kOrdersPerMinute, 60000};
    RateLimiter m_ordersByAddress{kOrdersPerMinute, 60000};
    RateLimiter m_reads{kReadsPerMinute, 60000};
};

// Guesses at ManagerPin: a wrong PIN counts at once, before it is answered. kPerAddress wrong
// PINs from one address within a minute, or kInAll from all addresses together, refuse every
// PIN from there (from everywhere) for the minute after, the right one too.
class PinGuard
{
public:
    static constexpr int kPerAddress = 5;
    static constexpr int kInAll = 20;
    static constexpr qint64 kLockMs = 60000;

    bool locked(const QString &address, qint64 nowMs);
    void wrongGuess(const QString &address, qint64 nowMs);

private:
    RateLimiter m_byAddress{kPerAddress, 60000};
    RateLimiter m_inAll{kInAll, 60000};
    QHash<QString, qint64> m_lockedUntil;
    qint64 m_allLockedUntil = 0;
};
