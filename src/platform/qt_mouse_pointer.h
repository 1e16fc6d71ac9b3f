#pragma once

#include "platform/mouse_pointer.h"

class QtMousePointer : public MousePointer
{
public:
    void moveTo(int x, int y) override;
};
