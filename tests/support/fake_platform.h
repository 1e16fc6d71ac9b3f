#pragma once

#include "support/fake_clock.h"
#include "support/fake_file_system.h"

// The file system and clock a test without windows needs; a base listed before CatalogueHome
// so that they exist when the program folder is started.
struct FakePlatform
{
    FakeFileSystem fileSystem;
    FakeClock clock;
};
