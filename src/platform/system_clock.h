#pragma once

#include "platform/clock.h"

// The real clock. A speed above 1 makes waits proportionally shorter (used by tests and demos).
class SystemClock : public Clock
{
public:
    explicit SystemClock(double speed = 1.0);
    QDateTime now() const override;
    void waitSeconds(double seconds) override;
    int millisecondsPerSecond() const override;

private:
    double m_speed;
};
