#pragma once

#include "support/catalogue_home.h"
#include "support/fake_platform.h"

#include <gtest/gtest.h>

// A fresh program folder started on the test's file system and clock, with its catalogue, for
// tests without windows.
class CatalogueFixture : public ::testing::Test, public FakePlatform, public CatalogueHome
{
protected:
    CatalogueFixture()
        : CatalogueHome(fileSystem, clock)
    {
    }
    void SetUp() override { ASSERT_TRUE(init.ok) << init.problem.toStdString(); }
};
