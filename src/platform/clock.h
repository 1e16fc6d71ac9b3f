#pragma once

#include <QDateTime>

// The wall clock and waiting. Waiting keeps the event loop running, so timers and window
// events are handled meanwhile; tests use a clock whose seconds pass faster.
class Clock
{
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
    virtual void waitSeconds(double seconds) = 0;
    // Milliseconds of real time that one second of this clock lasts (1000 normally).
    virtual int millisecondsPerSecond() const = 0;
};
