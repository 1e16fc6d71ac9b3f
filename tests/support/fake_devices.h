#pragma once

#include "platform/mouse_pointer.h"
#include "platform/shutdown.h"

#include <QPoint>
#include <QList>

// Records where the pointer was sent.
class FakeMousePointer : public MousePointer
{
public:
    QList<QPoint> moves;
    void moveTo(int x, int y) override { moves.append(QPoint(x, y)); }
};

// Counts power-off requests instead of switching the machine off.
class FakeShutdown : public Shutdown
{
public:
    int powerOffs = 0;
    void powerOff() override { ++powerOffs; }
};
