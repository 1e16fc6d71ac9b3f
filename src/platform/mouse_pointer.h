#pragma once

// Moves the mouse pointer to a screen position in pixels.
class MousePointer
{
public:
    virtual ~MousePointer() = default;
    virtual void moveTo(int x, int y) = 0;
};
