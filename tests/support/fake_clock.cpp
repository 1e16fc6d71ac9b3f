#include "support/fake_clock.h"

#include <QEventLoop>
#include <QTimer>

FakeClock::FakeClock(QDateTime start)
    : m_now(std::move(start))
{
}

QDateTime FakeClock::now() const
{
    return m_now;
}

void FakeClock::waitSeconds(double seconds)
{
    if (seconds <= 0)
        return;
    secondsWaited += seconds;
    m_now = m_now.addMSecs(qint64(seconds * 1000));
    QEventLoop loop;
    QTimer::singleShot(int(seconds * millisecondsPerSecond()), &loop, &QEventLoop::quit);
    loop.exec();
}
