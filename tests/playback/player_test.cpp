// The windows over the playback session: the player window, the control bar, the mixer
// panel, the message strip and the preview window, on fake devices.
#include "playback/session_fixture.h"

#include "core/lookups.h"
#include "playback/mixer_menu.h"
#include "playback/next_up_card.h"
#include "playback/player.h"
#include "playback/player_message.h"
#include "playback/score_card.h"
#include "playback/song_scoring.h"
#include "playback/small_control_main.h"
#include "playback/small_view.h"
#include "support/modal_script.h"
#include "support/fake_scoring_devices.h"
#include "support/process_watch.h"
#include "support/singing_media.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

namespace {

// A player window over the session, shown but not run modally: the test drives it directly.
class PlayerTest : public SessionFixture
{
protected:
    Player &player()
    {
        if (!m_player) {
            menuTimer.stop(); // the menu stops its timer while the player is open
            m_player = std::make_unique<Player>(unstartedSession(), state, fakes.services, QSize(1280, 720),
                                                &menuTimer);
            m_player->show();
            QTest::qWait(20); // first activation: three (fast) seconds, then the head plays
        }
        return *m_player;
    }
    SmallControlMain &bar() { return *static_cast<SmallControlMain *>(player().smallWindow(NextWindow::ControlBar)); }
    MixerMenu &mixer() { return *static_cast<MixerMenu *>(player().smallWindow(NextWindow::Mixer)); }

    // Sends a key as the keyboard would, to the widget that has it.
    void key(int code, QWidget *to = nullptr)
    {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(QChar(code)));
        QCoreApplication::sendEvent(to ? to : &player(), &press);
    }

    QTimer menuTimer;
    ModalScript modals; // the small windows opened, each closed at once

private:
    std::unique_ptr<Player> m_player;
};

TEST_F(PlayerTest, ShowsTheVideoWhileASongPlaysTheBackgroundBetweenSongsAndPreviewsOnlyWhileShown)
{
    queueSongs(1);
    player();
    EXPECT_EQ(wmp().playState(), PlayState::Playing);
    EXPECT_FALSE(player().Image1->isVisible());
    EXPECT_EQ(wmp().videoWidget()->size(), QSize(1280, 720));
    EXPECT_EQ(player().playerMsg->text(), "歌1--林曉雯");
    wmp().finishSong();
    EXPECT_TRUE(player().Image1->isVisible());
    EXPECT_EQ(wmp().videoWidget()->size(), QSize(1, 1));

    // The preview window plays its file once it is shown, and stops when closed.
    SmallView view(fakes.mediaPlayers, QSize(1280, 720));
    EXPECT_EQ(view.size(), QSize(640, 360));
    view.setFilePath("/songs/3.mpg");
    view.show();
    FakeMediaPlayer &preview = *fakes.mediaPlayers.created.back();
    EXPECT_EQ(preview.url(), "file:///songs/3.mpg");
    EXPECT_EQ(preview.playState(), PlayState::Playing);
    EXPECT_EQ(preview.videoWidget()->geometry(), QRect(64, 0, 512, 288));
    view.hide();
    EXPECT_EQ(preview.playState(), PlayState::Undefined) << "closing the preview stops it";
}

TEST_F(PlayerTest, BeforeEachSongANextUpCardSaysWhatPlaysAndWhoOrderedItFromAPhoneAsTyped)
{
    catalogue.addSong("102099", 1, "<b>粗</b>", catalogue.addSinger("Tom & Jerry", 2), "/songs/99.mpg");
    AddToOrderList(state, "102099", Orderer{"<img src=/dev/zero>", QString(20, 'a')});
    AddToOrderList(state, "102002"); // at the keypad
    AddToOrderList(state, "102003");
    PlaybackSession &session = unstartedSession();
    Player window(session, state, fakes.services, QSize(1280, 720), &menuTimer);
    const qint64 memoryBefore = ProcessWatch::residentBytes();
    QStringList cards;
    QObject::connect(&session, &PlaybackSession::nextUp, [&] {
        window.nextUp->grab(); // drawn as the screen draws it
        cards.append(window.nextUp->isVisible() ? window.nextUp->text() : "hidden");
        if (cards.size() == 2) { // a phone cuts in during the pause: the card follows
            state.OrderedSongs.moveToHead(1, "歌3--插播");
            cards.append(window.nextUp->text());
        }
    });
    window.show();
    QTest::qWait(20);
    EXPECT_LT(ProcessWatch::residentBytes() - memoryBefore, 16 << 20) << "no picture was loaded for a name";
    EXPECT_EQ(wmp().playState(), PlayState::Playing);
    EXPECT_FALSE(window.nextUp->isVisible()) << "the card goes when the song starts";
    wmp().finishSong();
    EXPECT_EQ(cards, QStringList({"下一首\n<b>粗</b>\nTom & Jerry  (<img src=/dev/zero> 點歌)", "下一首\n歌2\n林曉雯",
                                  "下一首\n歌3\n林曉雯"}));
    EXPECT_FALSE(window.nextUp->isVisible());
}

TEST_F(PlayerTest, HotKeysActAndAnyOtherKeyOrAClickOpensTheBar)
{
    const QStringList &bars = modals.opened;
    player(); // nothing queued, nothing plays
    key('/');
    EXPECT_EQ(bars.size(), 0) << "/ while nothing plays opens no bar";
    key('*');
    EXPECT_EQ(state.SoundChannel, 3);
    key('q');
    EXPECT_EQ(state.SoundChannel, 2) << "Q picks the left channel, with or without Caps Lock";
    EXPECT_EQ(bars.size(), 0);

    // Keys on the video reach the player's one key reader, as they would from the keypad.
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Enter, Qt::KeypadModifier, QStringLiteral("\r"));
    QCoreApplication::sendEvent(wmp().videoWidget(), &enter);
    EXPECT_EQ(bars.size(), 1) << "any other key opens the control bar";
    key('5', wmp().videoWidget());
    EXPECT_EQ(bars.size(), 2);
    QMouseEvent click(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(player().Image1, &click);
    EXPECT_EQ(bars.size(), 3) << "a click on the background opens it too";
    QKeyEvent shift(QEvent::KeyPress, Qt::Key_Shift, Qt::ShiftModifier, QString());
    QCoreApplication::sendEvent(&player(), &shift);
    EXPECT_EQ(bars.size(), 3) << "a key that types nothing is no key to the jukebox";
}

TEST_F(PlayerTest, ControlBarPausesSkipsAndLeaves)
{
    queueSongs(3);
    player();
    auto press = [&](int code) { bar().key_press(code); };

    press('6');
    EXPECT_EQ(bar().key_pause->text(), "6播放");
    EXPECT_EQ(wmp().playState(), PlayState::Paused);
    press('6');
    EXPECT_EQ(bar().key_pause->text(), "6暫停");
    EXPECT_EQ(wmp().playState(), PlayState::Playing);
    key('P');
    EXPECT_EQ(bar().key_pause->text(), "6播放") << "the hot key P pauses as the bar's 6 does";
    key('P');

    press('7');
    EXPECT_EQ(wmp().requests.last(), "play");
    press('5');
    EXPECT_EQ(queue(), QStringList({"102002", "102003"}));

    const int before = state.SoundChannel;
    press('Q');
    press('9');
    press(13);
    EXPECT_EQ(state.SoundChannel, before) << "letter hot keys do nothing inside the bar";
    press('*');
    EXPECT_NE(state.SoundChannel, before) << "but * does";

    press('8');
    EXPECT_FALSE(player().isVisible());
    EXPECT_TRUE(menuTimer.isActive()) << "the menu takes over again";
    EXPECT_EQ(queue(), QStringList({"102002", "102003"})) << "the queue survives, the playing song included";
}

TEST_F(PlayerTest, MixerShowsTheChannelVolumeKeyAndTakeInEffect)
{
    queueSongs(1);
    player();
    mixer().show();
    EXPECT_EQ(mixer().Label6->text(), "左") << "the player starts on the left channel";
    EXPECT_EQ(mixer().Label5->text(), "0");
    auto press = [&](int code) { mixer().Form_KeyPress(code); };

    const struct { int key; int channel; const char *label; } channelKeys[] = {
        {'2', 1, "中"}, {'3', 3, "右"}, {'1', 2, "左"}};
    for (const auto &k : channelKeys) {
        press(k.key);
        EXPECT_EQ(state.SoundChannel, k.channel);
        EXPECT_EQ(mixer().Label6->text(), k.label);
    }
    emit mixer().vol_mic[2]->pressed();
    EXPECT_EQ(mixer().Label6->text(), "右");
    key('W');
    EXPECT_EQ(mixer().Label6->text(), "中") << "the hot keys change it with the panel open";

    wmp().setVolume(5);
    press('4');
    EXPECT_EQ(wmp().volume(), 0);
    EXPECT_EQ(mixer().lb_vol_music->text(), "0");
    wmp().setVolume(95);
    press('5');
    EXPECT_EQ(wmp().volume(), 100);
    EXPECT_EQ(mixer().lb_vol_music->text(), "10");
    wmp().setVolume(40);
    press('5');
    EXPECT_EQ(mixer().lb_vol_music->text(), "5");

    // The key moves within half an octave.
    const struct { int key; int times; const char *shown; } steps[] = {
        {'8', 2, "+2"}, {'7', 5, "−3"}, {'7', 9, "−6"}, {'8', 20, "+6"}};
    for (const auto &step : steps) {
        for (int i = 0; i < step.times; ++i)
            press(step.key);
        EXPECT_EQ(mixer().Label5->text(), step.shown) << char(step.key) << " x" << step.times;
    }
    EXPECT_EQ(wmp().key(), 6);
    emit mixer().tune_key[0]->pressed();
    EXPECT_EQ(mixer().Label5->text(), "+5");
    emit mixer().tune_key[1]->pressed();
    EXPECT_EQ(mixer().Label5->text(), "+6");

    EXPECT_EQ(mixer().cmdRecord->text(), "9錄音");
    press('9');
    EXPECT_EQ(mixer().cmdRecord->text(), "錄音中");
    wmp().finishSong();
    EXPECT_EQ(mixer().cmdRecord->text(), "9錄音");
    EXPECT_EQ(mixer().Label5->text(), "0") << "the next song starts in its own key";
    mixer().hide();
}

TEST_F(PlayerTest, TheMessageStripStaysOnTheScreenAndCutsOnlyBetweenWords)
{
    const QString reason = QStringLiteral(
        "無法播放: the stream could not be demultiplexed because the container holds no track "
        "that any installed decoder understands, and nothing else can be tried for this song");
    const QString texts[] = {QStringLiteral("歌1--林曉雯"), reason, reason + reason + reason};
    PlayerMessage &strip = *player().playerMsg;
    for (const QString &text : texts) {
        strip.setText(text);
        const QRect onScreen(0, 0, 1280, 720);
        EXPECT_TRUE(onScreen.contains(strip.geometry())) << text.toStdString();
        const QString shown = strip.text();
        if (shown == text)
            continue;
        ASSERT_TRUE(shown.endsWith("…"));
        const QString kept = shown.chopped(1);
        ASSERT_TRUE(text.startsWith(kept));
        EXPECT_FALSE(text.at(kept.size()).isLetterOrNumber() && kept.back().isLetterOrNumber())
            << "cut inside a word: " << shown.toStdString();
    }
    strip.setText(reason);
    EXPECT_EQ(strip.text(), reason) << "a reason of a few lines is wrapped, not cut";
}

// With scoring on, the score stands over the background after a song sung to its end, before
// the next-up card; a key takes it away at once and opens nothing.
TEST_F(PlayerTest, TheScoreStandsAfterASongSungToItsEndAndAKeyTakesItAway)
{
    FakeVoiceCapture capture;
    FakeSongSoundReader reader;
    reader.songs.insert(QStringLiteral("/songs/2.mpg"), {singing_media::kRate, {singing_media::ktvFrames(10)}});
    SongScoring scoring(capture, reader);
    queueSongs(3);
    player();
    session().attachScoring(&scoring);
    session().skip(); // the first song began before scoring was there
    ASSERT_EQ(wmp().playState(), PlayState::Playing);
    ASSERT_TRUE(QTest::qWaitFor([&] { return scoring.guideRead(); }, 10000));
    capture.sing(singing_media::sungMelody(10, 0), singing_media::kRate);

    QString shown;
    bool nextUpHidden = false;
    QObject::connect(&session(), &PlaybackSession::scoreShown, [&] {
        shown = player().scoreCard->text();
        nextUpHidden = !player().nextUp->isVisible();
        key('5'); // any key
    });
    const double before = fakes.clock.secondsWaited;
    wmp().finishSong();
    EXPECT_TRUE(shown.startsWith(QStringLiteral("得分 "))) << shown.toStdString();
    EXPECT_GE(shown.mid(3).toInt(), 90);
    EXPECT_TRUE(nextUpHidden) << "the score comes before the next-up card";
    EXPECT_FALSE(player().scoreCard->isVisible());
    EXPECT_LT(fakes.clock.secondsWaited - before, 3.5) << "the key cut the four seconds short";
    EXPECT_TRUE(modals.opened.isEmpty()) << "the key opened nothing";
    session().close(); // before the scoring it was given goes
}

} // namespace

