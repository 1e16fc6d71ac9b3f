#pragma once

#include "platform/mouse_pointer.h"
#include "platform/shutdown.h"

// Leaves the pointer where it is.
class FakeMousePointer : public MousePointer
{
public:
    void moveTo(int, int) override {}
};

// Counts power-off requests instead of switching the machine off.
class FakeShutdown : public Shutdown
{
public:
    int powerOffs = 0;
    void powerOff() override { ++powerOffs; }
};
