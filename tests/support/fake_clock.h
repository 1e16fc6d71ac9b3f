#pragma once

#include "platform/clock.h"

#include <QEventLoop>
#include <QTimer>

// A clock whose seconds last one real millisecond, and whose date and time are set by the
// test. Waiting still runs the event loop, so timers fire as they would.
class FakeClock : public Clock
{
public:
    explicit FakeClock(QDateTime start = QDateTime(QDate(2026, 12, 5), QTime(21, 30)))
        : m_now(std::move(start))
    {
    }
    QDateTime now() const override { return m_now; }
    void waitSeconds(double seconds) override
    {
        if (seconds <= 0)
            return;
        secondsWaited += seconds;
        m_now = m_now.addMSecs(qint64(seconds * 1000));
        QEventLoop loop;
        QTimer::singleShot(int(seconds * millisecondsPerSecond()), &loop, &QEventLoop::quit);
        loop.exec();
    }
    int millisecondsPerSecond() const override { return 1; }

    void setNow(const QDateTime &now) { m_now = now; }
    double secondsWaited = 0;

private:
    QDateTime m_now;
};
