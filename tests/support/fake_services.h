#pragma once

#include "support/fake_clock.h"
#include "support/fake_devices.h"
#include "support/fake_file_dialogs.h"
#include "support/fake_file_system.h"
#include "support/fake_mci_device.h"
#include "support/fake_media_player.h"
#include "support/fake_message_boxes.h"
#include "support/fake_printer.h"
#include "platform/xlsx_spreadsheet.h"
#include "platform/services.h"

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
    FakePrinter printer;
    XlsxSpreadsheetFactory spreadsheets; // writes real files, which tests read back
    Services services{fileSystem, clock, messageBoxes, fileDialogs, mousePointer, shutdown, mediaPlayers, mci,
                      printer, spreadsheets};
};
