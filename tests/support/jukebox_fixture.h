#pragma once

#include "support/catalogue_home.h"
#include "support/fake_services.h"
#include "support/plain_text_check.h"
#include "support/qt_printers.h"

#include <gtest/gtest.h>

// The platform fakes, made before the program folder is started on them.
struct WithFakeServices
{
    FakeServices fakes;
};

// A fresh program folder started up on fake services, with an empty catalogue for the test
// to fill. The windows' fixtures build on it.
class JukeboxFixture : public ::testing::Test, protected WithFakeServices, public CatalogueHome
{
protected:
    JukeboxFixture()
        : CatalogueHome(fakes.fileSystem, fakes.clock)
    {
    }
    void SetUp() override { ASSERT_TRUE(init.ok) << init.problem.toStdString(); }
    // Every window the test opened shows titles, singers and file names as typed.
    void TearDown() override { EXPECT_EQ(labelsReadingMarkup(), QStringList()) << "labels that read markup"; }

    // Sends each character of keys to a key handler as its key code; "\r" stands for Enter.
    template <typename KeyHandler>
    static void sendKeys(const QString &keys, KeyHandler &&handle)
    {
        for (QChar c : keys) {
            int code = c == QLatin1Char('\r') ? 13 : int(c.unicode());
            handle(code);
        }
    }

    // What the play queue shows, first to last; or its song numbers.
    QStringList queueTexts(bool numbers = false) const
    {
        QStringList texts;
        for (int i = 0; i < state.OrderedSongs.length(); ++i)
            texts.append(numbers ? state.OrderedSongs.row(i).key : state.OrderedSongs.row(i).text);
        return texts;
    }
};
