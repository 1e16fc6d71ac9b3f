// The playback session without any window: the queue, skip, pause, sing again, sound and the
// recording take, on fake media and recording devices and real catalogue files.
#include "playback/session_fixture.h"

#include "catalogue/song_loudness.h"
#include "core/database.h"
#include "core/init_system.h"
#include "phone/phone_desk.h"
#include "phone/phone_request.h"
#include "support/zip_writer.h"

#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTimer>

#include <sqlite3.h>

#include <functional>

namespace {

using SessionTest = SessionFixture;

TEST_F(SessionTest, PlaysTheQueueSongAfterSongAndShowsTheBackgroundAtTheEnd)
{
    queueSongs(3);
    session();
    EXPECT_EQ(wmp().url(), "file:///songs/1.mpg");
    EXPECT_EQ(wmp().playState(), PlayState::Playing);
    EXPECT_FALSE(session().backgroundShown());
    EXPECT_EQ(session().message(), "歌1--林曉雯");
    EXPECT_EQ(state.SoundChannel, 2);

    wmp().finishSong();
    EXPECT_EQ(queue(), QStringList({"102002", "102003"}));
    EXPECT_EQ(wmp().url(), "file:///songs/2.mpg");

    QSignalSpy messages(&session(), &PlaybackSession::messageChanged);
    wmp().fail("/songs/2.mpg: Could not demultiplex stream.");
    EXPECT_EQ(messages.first().first().toString(), "無法播放: 歌2--林曉雯") << "Chinese only; the reason is logged";
    EXPECT_EQ(queue(), QStringList({"102003"})) << "a song that cannot play moves on";
    EXPECT_EQ(wmp().url(), "file:///songs/3.mpg");

    wmp().finishSong();
    EXPECT_TRUE(queue().isEmpty());
    EXPECT_EQ(wmp().requests.last(), "close") << "the last song ending closes the media";
    EXPECT_TRUE(session().backgroundShown()) << "the background between songs";
}

TEST_F(SessionTest, AReportAboutTheOldSongDoesNotSkipTheNext)
{
    queueSongs(3);
    session();
    wmp().playsAtOnce = false; // the next song stays "transitioning" until the engine says
    wmp().finishSong();
    ASSERT_EQ(wmp().playState(), PlayState::Transitioning);
    const std::function<void()> lateReports[] = {
        [&] { emit wmp().endOfStream(); },
        [&] { emit wmp().error("the old song's decoder gave up"); },
    };
    for (const auto &report : lateReports) {
        report();
        EXPECT_EQ(queue(), QStringList({"102002", "102003"}));
        EXPECT_EQ(wmp().url(), "file:///songs/2.mpg");
    }
    wmp().report(PlayState::Playing);
    emit wmp().endOfStream();
    EXPECT_EQ(queue(), QStringList({"102002", "102003"})) << "nor while the next song plays";
}

// Another program's write never delays the next song; a catalogue another program holds for
// itself alone is waited for; one that cannot be read fails the song.
TEST_F(SessionTest, ABusyCatalogueDelaysTheNextSongAndABrokenOneFailsItInsteadOfThePlayer)
{
    queueSongs(4);
    session();
    sqlite3 *other = nullptr;
    ASSERT_EQ(sqlite3_open_v2(state.DbPath.toUtf8().constData(), &other, SQLITE_OPEN_READWRITE, nullptr), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE; UPDATE song SET song_name = 'x'", nullptr, nullptr, nullptr), SQLITE_OK);
    wmp().finishSong();
    EXPECT_EQ(wmp().url(), "file:///songs/2.mpg") << "played at once, from the catalogue as it was";
    EXPECT_EQ(session().message(), "歌2--林曉雯");
    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);

    // A program that keeps the file for itself alone (exclusive locking) shuts every reader out.
    state.db().close();
    catalogue.database().close();
    reader.close();
    ASSERT_EQ(sqlite3_open_v2(state.DbPath.toUtf8().constData(), &other, SQLITE_OPEN_READWRITE, nullptr), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "PRAGMA locking_mode = EXCLUSIVE; BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);

    wmp().finishSong();
    QTest::qWait(50); // Timer1 tries again every five (fast) seconds
    EXPECT_EQ(queue(), QStringList({"102003", "102004"})) << "a busy catalogue is not a missing song";
    EXPECT_NE(wmp().playState(), PlayState::Playing);
    EXPECT_TRUE(session().backgroundShown());
    EXPECT_FALSE(session().message().startsWith("無法播放"));

    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    EXPECT_TRUE(QTest::qWaitFor([&] { return wmp().playState() == PlayState::Playing; }, 2000));
    EXPECT_EQ(wmp().url(), "file:///songs/3.mpg");
    EXPECT_EQ(queue(), QStringList({"102003", "102004"}));

    state.db().close();
    for (const char *beside : {"", "-wal", "-shm"})
        QFile::remove(state.DbPath + QLatin1String(beside));
    home.write("karaoke.mdb", QByteArray(2048, '\x5a'));
    wmp().finishSong();
    EXPECT_EQ(wmp().url(), "file://找不到102004") << "the song is tried, fails, and the queue moves on";
    EXPECT_EQ(queue(), QStringList({"102004"}));
}

TEST_F(SessionTest, AnEngineWithoutItsPartsSaysWhatToInstallAndKeepsTheQueue)
{
    queueSongs(1);
    fakes.mediaPlayers.created.clear();
    unstartedSession();
    wmp().missing = "缺少 GStreamer 元件 playbin, 請安裝 gstreamer1.0-plugins-base";
    wmp().playable = false;
    session().start();
    QTest::qWait(20);
    EXPECT_EQ(queue(), QStringList({"102001"}));
    EXPECT_FALSE(wmp().requests.contains("play"));
    EXPECT_EQ(session().message(), wmp().missing);

    wmp().missing = "缺少 GStreamer 元件 pitch, 請安裝 gstreamer1.0-plugins-bad";
    wmp().playable = true;
    EXPECT_TRUE(QTest::qWaitFor([&] { return wmp().playState() == PlayState::Playing; }, 1000))
        << "a song plays without the audio stages";
    EXPECT_EQ(session().message(), wmp().missing);
}

// The channel plays a side of a stereo track, or a track of a three-track file.
TEST_F(SessionTest, HotKeysChangeChannelVolumeAndSkip)
{
    session(); // nothing queued, nothing plays
    EXPECT_TRUE(session().backgroundShown());
    EXPECT_TRUE(session().HandleHotKey('/')) << "/ is handled whether or not a song plays";
    QSignalSpy channels(&session(), &PlaybackSession::soundChannelChanged);
    for (int i = 0; i < 3; ++i)
        session().HandleHotKey('*');
    ASSERT_EQ(channels.size(), 3);
    EXPECT_EQ((QList<int>{channels[0][0].toInt(), channels[1][0].toInt(), channels[2][0].toInt()}),
              QList<int>({3, 1, 2}));
    session().HandleHotKey('E');
    EXPECT_EQ(wmp().stereoSide(), StereoSide::Both) << "nothing plays, so nothing is changed";
    session().HandleHotKey('Q');

    queueSongs(2);
    ASSERT_TRUE(QTest::qWaitFor([&] { return wmp().stereoSide() == StereoSide::Left; }, 1000))
        << "songs ordered while nothing plays start within the idle check, in the chosen channel";
    EXPECT_EQ(wmp().url(), "file:///songs/1.mpg");
    const struct { int key; StereoSide side; } keys[] = {
        {'E', StereoSide::Right}, {'W', StereoSide::Both}, {'*', StereoSide::Left}, {'*', StereoSide::Right}};
    for (const auto &k : keys) {
        session().HandleHotKey(k.key);
        EXPECT_EQ(wmp().stereoSide(), k.side) << char(k.key) << ": heard at once, not at the next tick";
    }
    EXPECT_EQ(wmp().currentAudioTrack(), 1);
    wmp().setTrackCount(3);
    session().HandleHotKey('E');
    EXPECT_EQ(wmp().currentAudioTrack(), 3);
    EXPECT_EQ(wmp().stereoSide(), StereoSide::Both) << "a three-track file plays its track as it is";

    wmp().setVolume(95);
    session().HandleHotKey('X');
    EXPECT_EQ(session().volume(), 100);
    wmp().setVolume(5);
    session().HandleHotKey('Z');
    EXPECT_EQ(session().volume(), 0);
    EXPECT_FALSE(session().HandleHotKey('5'));

    session().HandleHotKey('/');
    EXPECT_EQ(queue(), QStringList({"102002"}));
}

// Each channel of a measured song plays at its own gain towards the owner's target, at most
// 12 dB either way and never past -1 dBTP at its true peak; a song not measured plays
// as it is. The target comes from a line the owner wrote, which the program never writes.
TEST_F(SessionTest, EachChannelOfAMeasuredSongPlaysAtItsGainTowardsTheTarget)
{
    // Quiet with room below its peak; at the target but peaking above the ceiling; quiet and peaky.
    const SongLoudness measured{{ChannelLoudness{-30, -10}, ChannelLoudness{-23, 1}, ChannelLoudness{-40, -3}}};
    storeLoudness(state.catalogue(), {0, "102001", "/songs/1.mpg", {}}, measured);
    home.write("Setting.ini", home.read("Setting.ini") + "LoudnessTarget = -23\r\n");
    ASSERT_TRUE(InitSystem(state, fakes.fileSystem, fakes.clock, home.path()).ok);
    EXPECT_EQ(home.read("Setting.ini").count("Loudness"), 1) << "the owner's line, never one of the program's";

    queueSongs(2);
    session();
    ASSERT_TRUE(QTest::qWaitFor([&] { return session().isPlaying(); }, 1000));
    EXPECT_EQ(wmp().songGain(), SongGain{-2}) << "the left channel, chosen when the player opened";
    const struct {
        int key;
        SongGain gain;
    } keys[] = {{'W', {7}}, {'E', {2}}, {'Q', {-2}}};
    for (const auto &k : keys) {
        session().HandleHotKey(k.key);
        EXPECT_EQ(wmp().songGain(), k.gain) << char(k.key) << ": with the channel, at once";
    }
    session().skip();
    ASSERT_TRUE(QTest::qWaitFor([&] { return session().isPlaying(); }, 1000));
    EXPECT_EQ(wmp().songGain(), SongGain{}) << "a song not measured plays as it is";
}

// A CD+G song has only its mix: whatever the channel, both sides play, at the gain measured
// for the whole mix; the channel chosen meanwhile holds for the next ordinary song.
TEST_F(SessionTest, ACdgSongPlaysItsWholeMixWhateverTheChannel)
{
    const QString folder = home.path() + "/MP3+G";
    ASSERT_TRUE(QDir().mkpath(folder));
    for (const char *name : {"Pair.MP3", "pair.cdg"})
        home.write(QStringLiteral("MP3+G/") + name, "x");
    ASSERT_TRUE(writeZip(folder + "/zipped.zip", {{"a.cdg", "c"}, {"b.mp3", "m"}}));
    const qint64 singer = catalogue.addSinger("Anna", 0);
    catalogue.addSong("102011", 1, "Pair", singer, folder + "/Pair.MP3");
    catalogue.addSong("102012", 1, "Zipped", singer, folder + "/zipped.zip");
    const SongLoudness measured{{ChannelLoudness{-30, -10}, ChannelLoudness{-20, -20}, ChannelLoudness{-40, -3}}};
    storeLoudness(state.catalogue(), {0, "102011", folder + "/Pair.MP3", {}}, measured);
    storeLoudness(state.catalogue(), {0, "102012", folder + "/zipped.zip", {}}, measured);
    home.write("Setting.ini", home.read("Setting.ini") + "LoudnessTarget = -23\r\n");
    ASSERT_TRUE(InitSystem(state, fakes.fileSystem, fakes.clock, home.path()).ok);

    state.OrderedSongs.append({"102001", "歌1--林曉雯"});
    state.OrderedSongs.append({"102011", "Pair--Anna"});
    state.OrderedSongs.append({"102012", "Zipped--Anna"});
    session();
    ASSERT_TRUE(QTest::qWaitFor([&] { return wmp().stereoSide() == StereoSide::Left; }, 1000))
        << "an ordinary song plays the left side, the channel the player opens with";
    for (const char *number : {"102011", "102012"}) {
        SCOPED_TRACE(number);
        session().skip();
        ASSERT_TRUE(QTest::qWaitFor([&] { return session().isPlaying() && state.OrderedSongs.head() == number; }, 2000));
        EXPECT_EQ(wmp().stereoSide(), StereoSide::Both) << "from its first moment";
        EXPECT_EQ(wmp().songGain(), SongGain{7}) << "the gain of the whole mix";
        for (const int key : {'Q', 'E', '*'}) {
            session().HandleHotKey(key);
            QTest::qWait(150); // the channel is applied again ten times a second
            EXPECT_EQ(wmp().stereoSide(), StereoSide::Both) << char(key);
            EXPECT_EQ(wmp().songGain(), SongGain{7}) << char(key);
        }
        session().HandleHotKey('E');
        EXPECT_EQ(session().soundChannel(), 3) << "the guest's choice is kept";
    }
    state.OrderedSongs.append({"102002", "歌2--林曉雯"});
    session().skip();
    ASSERT_TRUE(QTest::qWaitFor([&] { return session().isPlaying() && state.OrderedSongs.head() == "102002"; }, 2000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return wmp().stereoSide() == StereoSide::Right; }, 1000))
        << "the next ordinary song plays the channel chosen";
}

TEST_F(SessionTest, TheKeyHoldsWhileTheSongIsSungAgainOrRecordedAndGoesBackForTheNextSong)
{
    session().stepKey(true);
    EXPECT_EQ(session().key(), 0) << "nothing plays";
    queueSongs(3);
    ASSERT_TRUE(QTest::qWaitFor([&] { return wmp().playState() == PlayState::Playing; }, 1000));
    QSignalSpy keys(&session(), &PlaybackSession::keyChanged);
    session().stepKey(true);
    session().stepKey(true);
    EXPECT_EQ(wmp().key(), 2);

    session().singAgain();
    session().record();
    ASSERT_TRUE(state.Recording);
    EXPECT_EQ(wmp().key(), 2) << "the take is sung in the key the guest chose";
    session().togglePause();
    session().stepKey(false);
    EXPECT_EQ(wmp().key(), 2) << "a paused song keeps its key";
    session().togglePause();

    session().skip();
    EXPECT_EQ(wmp().key(), 0);
    EXPECT_EQ(session().key(), 0);
    ASSERT_EQ(keys.size(), 3);
    EXPECT_EQ(keys.last().first().toInt(), 0);
    wmp().finishSong();
    EXPECT_EQ(keys.size(), 3) << "a song that ended in the original key changes nothing";
}

TEST_F(SessionTest, PauseResumeSingAgainAndClose)
{
    queueSongs(3);
    session();
    QSignalSpy paused(&session(), &PlaybackSession::pausedChanged);
    session().togglePause();
    EXPECT_EQ(wmp().playState(), PlayState::Paused);
    EXPECT_TRUE(session().isPaused());
    session().skip();
    session().singAgain();
    EXPECT_EQ(queue().size(), 3) << "a paused song is neither skipped nor restarted";
    session().togglePause();
    EXPECT_EQ(wmp().playState(), PlayState::Playing);
    EXPECT_EQ(paused.size(), 2);

    // From a phone: pausing and resuming answer what the song does now.
    PhoneDesk desk(state, PhoneConfig::OwnerActions::Open);
    desk.setPlayer(session().forPhones());
    PhoneRequest pause;
    pause.kind = PhoneRequest::Kind::Pause;
    pause.owner = true;
    EXPECT_TRUE(desk.answer(pause).body["paused"].toBool());
    EXPECT_TRUE(desk.view().paused);
    const PhoneAnswer resumed = desk.answer(pause);
    EXPECT_EQ(resumed.status, 200);
    EXPECT_FALSE(resumed.body["paused"].toBool(true)) << "playing again";
    EXPECT_FALSE(desk.view().paused);
    EXPECT_EQ(wmp().playState(), PlayState::Playing);

    wmp().requests.clear();
    session().singAgain();
    EXPECT_EQ(queue(), QStringList({"102001", "102002", "102003"})) << "singing again keeps the queue";
    EXPECT_TRUE(wmp().requests.contains("close"));
    EXPECT_EQ(wmp().requests.last(), "play");
    EXPECT_EQ(wmp().url(), "file:///songs/1.mpg");

    // What the window sees of closing is in the control bar's test.
    session().close();
    EXPECT_FALSE(session().isOpen());
    EXPECT_EQ(wmp().playState(), PlayState::Undefined) << "the song stops";
}

TEST_F(SessionTest, RecordingRestartsTheSongIntoANewTakeNamedAfterItAndKeepsItWhenTheSongEnds)
{
    QSignalSpy takes(&session(), &PlaybackSession::takeStateChanged);
    queueSongs(2);
    ASSERT_TRUE(QTest::qWaitFor([&] { return wmp().playState() == PlayState::Playing; }, 1000));
    wmp().stop();
    session().record();
    EXPECT_FALSE(state.Recording) << "nothing to record when nothing plays";
    wmp().play();

    fakes.mci.commands.clear();
    wmp().requests.clear();
    session().record();
    ASSERT_TRUE(state.Recording);
    EXPECT_EQ(state.RecordFileName, QDir(state.settings.RecordPath).filePath("202612052130歌1--林曉雯.wav"));
    EXPECT_TRUE(fakes.mci.commands.endsWith("record po"));
    EXPECT_EQ(QFileInfo(state.RecordFileName).size(), 44);
    EXPECT_EQ(wmp().requests.last(), "play") << "the song starts again with the take";

    session().record();
    EXPECT_TRUE(state.Recording);
    EXPECT_TRUE(fakes.mci.commands.contains("save po")) << "the first take was ended";
    EXPECT_EQ(recordings().size(), 1) << "record again replaces the take under the same name";

    wmp().finishSong();
    EXPECT_FALSE(state.Recording);
    EXPECT_EQ(fakes.mci.commands.last(), "close po");
    EXPECT_EQ(recordings().size(), 1) << "a take sung to the end is kept";
    QList<TakeState> states;
    for (const QList<QVariant> &signal : takes)
        states.append(signal.first().value<TakeState>());
    EXPECT_EQ(states, (QList<TakeState>{TakeState::Recording, TakeState::Retaking, TakeState::Recording, TakeState::Idle}));

    // A title with separators is recorded as one file in the record folder.
    for (const char *title : {"AC/DC--搖滾", "雨\\夜--黃志明"}) {
        state.OrderedSongs.clear();
        state.OrderedSongs.append({"102001", QString::fromUtf8(title)});
        ASSERT_TRUE(QTest::qWaitFor([&] { return wmp().playState() == PlayState::Playing; }, 1000));
        session().record();
        ASSERT_TRUE(state.Recording) << title;
        wmp().finishSong();
    }
    EXPECT_EQ(recordings(), QStringList({"202612052130AC_DC--搖滾.wav", "202612052130歌1--林曉雯.wav",
                                         "202612052130雨_夜--黃志明.wav"}));
}

TEST_F(SessionTest, SkippingPausingOrSingingAgainDiscardsTheTake)
{
    session();
    queueSongs(3);
    ASSERT_TRUE(QTest::qWaitFor([&] { return wmp().playState() == PlayState::Playing; }, 1000));
    const std::function<void()> interruptions[] = {
        [&] { session().HandleHotKey('/'); },
        [&] {
            session().togglePause();
            session().togglePause();
        },
        [&] { session().singAgain(); },
    };
    for (const auto &interrupt : interruptions) {
        session().record();
        ASSERT_TRUE(state.Recording);
        ASSERT_EQ(recordings().size(), 1);
        interrupt();
        EXPECT_FALSE(state.Recording);
        EXPECT_TRUE(recordings().isEmpty());
        EXPECT_EQ(session().takeState(), TakeState::Idle);
    }
}

TEST_F(SessionTest, ADeviceThatRefusesOrFailsIsToldAndLeavesNoEmptyFile)
{
    session();
    queueSongs(1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return wmp().playState() == PlayState::Playing; }, 1000));
    fakes.mci.replies["record po"] = "找不到錄音裝置";
    session().record();
    EXPECT_FALSE(state.Recording);
    EXPECT_TRUE(recordings().isEmpty());
    EXPECT_EQ(session().message(), "找不到錄音裝置");
    EXPECT_EQ(wmp().playState(), PlayState::Playing) << "the song goes on";

    fakes.mci.replies.clear();
    session().record();
    ASSERT_TRUE(state.Recording);
    emit fakes.mci.failed("找不到錄音裝置"); // the source went away before its first sample
    EXPECT_FALSE(state.Recording);
    EXPECT_EQ(session().takeState(), TakeState::Idle);
    EXPECT_TRUE(recordings().isEmpty());
    EXPECT_EQ(session().message(), "找不到錄音裝置");
    EXPECT_EQ(wmp().playState(), PlayState::Playing);
}

TEST_F(SessionTest, OnNtfsAFailedCopyBackKeepsTheOnlyCopyOfTheTake)
{
    session();
    queueSongs(1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return wmp().playState() == PlayState::Playing; }, 1000));
    fakes.fileSystem.typeName = "NTFS";
    for (bool copyFails : {false, true}) {
        fakes.fileSystem.copiesFail = copyFails;
        session().record();
        ASSERT_TRUE(state.Recording);
        const QString take = state.RecordFileName;
        const QString moved = QDir::current().filePath(QFileInfo(take).fileName());
        wmp().stop(); // the take ends and is saved
        EXPECT_TRUE(QFileInfo::exists(take)) << copyFails;
        EXPECT_FALSE(QFileInfo::exists(moved)) << copyFails;
        QFile::remove(take);
        wmp().play();
    }
}

// The session can be closed from the control bar while one of its flows waits; the flow then
// must not start anything on the closed session.
TEST_F(SessionTest, ClosingInsideAnyWaitStartsNothingAfterwards)
{
    const struct {
        const char *name;
        bool recordingBefore;
        std::function<void()> flow;
        int songsLeft, takesKept;
    } waits[] = {
        {"first activation", false, [this] { session().start(); }, 3, 0},
        {"between songs", false, [this] { wmp().finishSong(); }, 2, 0},
        {"sing again", false, [this] { session().singAgain(); }, 3, 0},
        {"record", false, [this] { session().record(); }, 3, 0},
        {"record again", true, [this] { session().record(); }, 3, 1},
    };
    for (const auto &wait : waits) {
        SCOPED_TRACE(wait.name);
        state.OrderedSongs.clear();
        queueSongs(3);
        for (const QString &take : recordings())
            QFile::remove(QDir(state.settings.RecordPath).filePath(take));
        fakes.mediaPlayers.created.clear();
        PlaybackSession &playback = unstartedSession();
        if (wait.name != QLatin1String("first activation")) {
            playback.start();
            ASSERT_EQ(wmp().playState(), PlayState::Playing);
        }
        if (wait.recordingBefore)
            playback.record();

        qsizetype requestsAtClose = -1;
        qsizetype commandsAtClose = -1;
        QTimer::singleShot(0, &playback, [&] {
            requestsAtClose = wmp().requests.size();
            commandsAtClose = fakes.mci.commands.size();
            playback.close();
        });
        wait.flow();
        ASSERT_GE(requestsAtClose, 0) << "the close came inside the wait";
        QTest::qWait(30); // the timers would have started a song by now

        EXPECT_FALSE(playback.isOpen());
        const QStringList after = wmp().requests.mid(requestsAtClose);
        EXPECT_FALSE(after.contains("play")) << after.join(", ").toStdString();
        EXPECT_FALSE(fakes.mci.commands.mid(commandsAtClose).contains("record po"));
        EXPECT_FALSE(state.Recording);
        EXPECT_EQ(playback.takeState(), TakeState::Idle);
        EXPECT_EQ(recordings().size(), wait.takesKept);
        EXPECT_EQ(queue().size(), wait.songsLeft);
    }
}

} // namespace
