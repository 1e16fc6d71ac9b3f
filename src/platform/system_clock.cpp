#include "platform/system_clock.h"

#include <QEventLoop>
#include <QTimer>

SystemClock::SystemClock(double speed)
    : m_speed(speed > 0 ? speed : 1.0)
{
}

QDateTime SystemClock::now() const
{
    return QDateTime::currentDateTime();
}

void SystemClock::waitSeconds(double seconds)
{
    if (seconds <= 0)
        return;
    QEventLoop loop;
    QTimer::singleShot(int(seconds * millisecondsPerSecond()), &loop, &QEventLoop::quit);
    loop.exec();
}

int SystemClock::millisecondsPerSecond() const
{
    return qMax(1, int(1000.0 / m_speed));
}
