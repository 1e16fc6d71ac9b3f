#pragma once

// Switches the computer off. The caller ends the program afterwards.
class Shutdown
{
public:
    virtual ~Shutdown() = default;
    virtual void powerOff() = 0;
};
