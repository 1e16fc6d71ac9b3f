#include "phone/guest_limits.h"

namespace {
const QString kEveryone = QStringLiteral("*");
}

bool GuestLimits::allowOrder(const QString &address, const QString &phone, qint64 nowMs)
{
    if (m_ordersByAddress.blocked(address, nowMs) || m_ordersByPhone.blocked(phone, nowMs))
        return false;
    m_ordersByAddress.count(address, nowMs);
    m_ordersByPhone.count(phone, nowMs);
    return true;
}

bool GuestLimits::allowRead(const QString &address, qint64 nowMs)
{
    return m_reads.allow(address, nowMs);
}

bool PinGuard::locked(const QString &address, qint64 nowMs)
{
    if (m_allLockedUntil > nowMs)
        return true;
    const auto until = m_lockedUntil.constFind(address);
    if (until == m_lockedUntil.cend())
        return false;
    if (*until > nowMs)
        return true;
    m_lockedUntil.erase(until);
    return false;
}

void PinGuard::wrongGuess(const QString &address, qint64 nowMs)
{
    // Locks that ran out are forgotten now and then, so strangers cannot fill the memory.
    if (m_lockedUntil.size() > 64)
        m_lockedUntil.removeIf([nowMs](const auto &lock) { return lock.value() <= nowMs; });
    m_byAddress.count(address, nowMs);
    if (m_byAddress.blocked(address, nowMs))
        m_lockedUntil.insert(address, nowMs + kLockMs);
    m_inAll.count(kEveryone, nowMs);
    if (m_inAll.blocked(kEveryone, nowMs))
        m_allLockedUntil = nowMs + kLockMs;
}
