#pragma once

#include "platform/shutdown.h"

// Switches the computer off with "systemctl poweroff". Whether the command could be started
// is not looked at: the program ends either way.
class CommandShutdown : public Shutdown
{
public:
    void powerOff() override;
};
