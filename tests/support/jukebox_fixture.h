#pragma once

#include "core/init_system.h"
#include "core/shared_state.h"
#include "support/catalogue_builder.h"
#include "support/fake_services.h"
#include "support/qt_printers.h"
#include "support/temp_home.h"

#include <gtest/gtest.h>

// A fresh program folder started up on fake services, with an empty catalogue for the test
// to fill. The windows' fixtures build on it.
class JukeboxFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const InitResult init = InitSystem(state, fakes.fileSystem, fakes.clock, home.path());
        ASSERT_TRUE(init.ok) << init.problem.toStdString();
    }

    // Sends each character of keys to a key handler as its key code; "\r" stands for Enter.
    template <typename KeyHandler>
    static void sendKeys(const QString &keys, KeyHandler &&handle)
    {
        for (QChar c : keys) {
            int code = c == QLatin1Char('\r') ? 13 : int(c.unicode());
            handle(code);
        }
    }

    // What the play queue shows, first to last.
    QStringList queueTexts() const
    {
        QStringList texts;
        for (int i = 0; i < state.OrderedSongs.length(); ++i)
            texts.append(state.OrderedSongs.row(i).text);
        return texts;
    }

    TempHome home;
    FakeServices fakes;
    SharedState state;
    CatalogueBuilder catalogue{home.file("karaoke.mdb")};
};
