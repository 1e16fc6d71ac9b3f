#pragma once

#include "platform/media_player.h"
#include "playback/playback_session.h"
#include "playback/wav_file_open.h"
#include "support/jukebox_fixture.h"

#include <QDir>
#include <QTest>

#include <memory>

// A playback session on a fresh program folder with fake media and recording devices and no
// window. Five songs are in the catalogue; the test queues some and drives the session.
class SessionFixture : public JukeboxFixture
{
protected:
    void SetUp() override
    {
        JukeboxFixture::SetUp();
        state.Recorder = &recorder;
        const qint64 singer = catalogue.addSinger("林曉雯", 0);
        for (int i = 1; i <= 5; ++i)
            catalogue.addSong(QStringLiteral("10200%1").arg(i), 1, QStringLiteral("歌%1").arg(i), singer,
                              QStringLiteral("/songs/%1.mpg").arg(i));
    }

    void queueSongs(int n)
    {
        for (int i = 1; i <= n; ++i)
            state.OrderedSongs.append({QStringLiteral("10200%1").arg(i), QStringLiteral("歌%1--林曉雯").arg(i)});
    }

    // The session as the player window opens it: made, then started (three fast seconds).
    PlaybackSession &session()
    {
        if (!m_session) {
            m_session = std::make_unique<PlaybackSession>(state, fakes.services);
            m_session->start();
        }
        return *m_session;
    }
    // The session made but not started, for a test that starts it itself.
    PlaybackSession &unstartedSession()
    {
        m_session = std::make_unique<PlaybackSession>(state, fakes.services);
        return *m_session;
    }
    FakeMediaPlayer &wmp() { return *fakes.mediaPlayers.created.at(0); }

    QStringList queue() const { return queueTexts(true); }
    QStringList recordings() const { return QDir(state.settings.RecordPath).entryList(QDir::Files); }

    WavFileOpen recorder{fakes.mci};

private:
    std::unique_ptr<PlaybackSession> m_session;
};
