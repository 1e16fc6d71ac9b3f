#pragma once

#include "platform/clock.h"

// A clock whose seconds last one real millisecond, and whose date and time are set by the
// test. Waiting still runs the event loop, so timers fire as they would.
class FakeClock : public Clock
{
public:
    explicit FakeClock(QDateTime start = QDateTime(QDate(2026, 12, 5), QTime(21, 30)));
    QDateTime now() const override;
    void waitSeconds(double seconds) override;
    int millisecondsPerSecond() const override { return 1; }

    void setNow(const QDateTime &now) { m_now = now; }
    double secondsWaited = 0;

private:
    QDateTime m_now;
};
