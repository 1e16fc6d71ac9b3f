#pragma once

#include "fake_clock.h"
#include "fake_devices.h"
#include "fake_file_dialogs.h"
#include "fake_file_system.h"
#include "fake_mci_device.h"
#include "fake_media_player.h"
#include "fake_message_boxes.h"
#include "services.h"

// Every platform service as a fake, bundled as the windows receive them.
struct FakeServices
{
    FakeFileSystem fileSystem;
    FakeClock clock;
    FakeMessageBoxes messageBoxes;
    FakeFileDialogs fileDialogs;
    FakeMousePointer mousePointer;
    FakeShutdown shutdown;
    FakeMediaPlayerFactory mediaPlayers;
    FakeMciDevice mci;
    Services services{fileSystem, clock, messageBoxes, fileDialogs, mousePointer, shutdown, mediaPlayers, mci};
};
