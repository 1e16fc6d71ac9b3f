#pragma once

#include "support/catalogue_builder.h"
#include "support/fake_services.h"
#include "core/init_system.h"
#include "platform/media_player.h"
#include "playback/mixer_menu.h"
#include "widgets/modal_runner.h"
#include "playback/player.h"
#include "playback/player_message.h"
#include "support/qt_printers.h"
#include "core/shared_state.h"
#include "playback/small_control_main.h"
#include "support/temp_home.h"
#include "playback/wav_file_open.h"

#include <QKeyEvent>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

// A player window on a fresh program folder with fake media and recording devices. The
// player is shown but not run modally: the test drives it directly.
class PlayerFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const InitResult init = InitSystem(state, fakes.fileSystem, fakes.clock, home.path());
        ASSERT_TRUE(init.ok) << init.problem.toStdString();
        state.Recorder = &recorder;
        const qint64 singer = catalogue.addSinger("林曉雯", 0);
        for (int i = 1; i <= 5; ++i)
            catalogue.addSong(QStringLiteral("10200%1").arg(i), 1, QStringLiteral("歌%1").arg(i), singer,
                              QStringLiteral("/songs/%1.mpg").arg(i));
        ModalRunner::setHook([this](QDialog &dialog) {
            if (onModal)
                onModal(dialog);
        });
    }
    void TearDown() override { ModalRunner::setHook({}); }

    void queueSongs(int n)
    {
        for (int i = 1; i <= n; ++i)
            state.OrderedSongs.append({QStringLiteral("10200%1").arg(i), QStringLiteral("歌%1--林曉雯").arg(i)});
    }

    Player &player()
    {
        if (!m_player) {
            menuTimer.stop(); // the menu stops its timer while the player is open
            m_player = std::make_unique<Player>(state, fakes.services, QSize(1280, 720), &menuTimer);
            m_player->show();
            QTest::qWait(20); // first activation: three (fast) seconds, then the head plays
        }
        return *m_player;
    }
    FakeMediaPlayer &wmp() { return *fakes.mediaPlayers.created.at(0); }

    // Sends a key as the keyboard would, to the player window.
    void key(int code)
    {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(QChar(code)));
        QCoreApplication::sendEvent(&player(), &press);
    }

    QStringList queue() const
    {
        QStringList keys;
        for (int i = 0; i < state.OrderedSongs.length(); ++i)
            keys.append(state.OrderedSongs.row(i).key);
        return keys;
    }

    TempHome home;
    FakeServices fakes;
    SharedState state;
    WavFileOpen recorder{fakes.mci};
    CatalogueBuilder catalogue{home.file("karaoke.mdb")};
    QTimer menuTimer;
    std::function<void(QDialog &)> onModal;

private:
    std::unique_ptr<Player> m_player;
};
