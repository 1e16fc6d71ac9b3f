// The three in-song ordering windows: ordering by number, moving a queued song forward, and
// ordering by singer, over a playing session.
#include "overlays/overlay_fixture.h"

#include "overlays/ordering_windows.h"
#include "overlays/small_inttersong.h"
#include "overlays/small_order_by_singer.h"
#include "overlays/small_ordersong.h"
#include "platform/modal_runner.h"
#include "playback/player.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTest>
#include <QPushButton>
#include <QTimer>

#include <tuple>

namespace {

using OrderingWindowTest = OverlayFixture;

TEST_F(OrderingWindowTest, OrderingByNumberQueuesBehindTheLastSongAndSaysWhatItDid)
{
    queueSongs(1);
    SmallOrdersong &w = window<SmallOrdersong>();
    EXPECT_EQ(w.pos(), QPoint(700 / 15, 200 / 15)) << "where Setting.ini puts it";

    // Keys typed, the echo, and the song number added if any.
    const std::tuple<QString, QString, QString> cases[] = {
        {"123.4", "124", ""},
        {"\r", "月亮代表", "124"},
        {"00\r", "沒這種歌!", ""},
        {"4.\r", "沒這種歌!", ""}, // Enter on nothing, the echo emptied just before
        {"3\r", "小城故事", "3"},
        {"99999999999999999999999\r", "沒這種歌!", ""},
        {"5-+", "5", ""}, // "-" and "+" do nothing here
        {".", "", ""},
        {".", "", ""}, // backspace on nothing
    };
    for (const auto &[keys, echoed, queued] : cases) {
        const int before = state.OrderedSongs.length();
        type(keys);
        EXPECT_EQ(echo(), echoed) << keys.toStdString();
        if (queued.isEmpty())
            EXPECT_EQ(state.OrderedSongs.length(), before) << keys.toStdString();
        else
            EXPECT_EQ(queue().last(), queued) << keys.toStdString();
    }
    EXPECT_EQ(queueTexts().mid(1), QStringList({"月亮代表--鄧麗", "小城故事--鄧麗"}));

    // A full queue is told in the window as in the menu.
    while (!state.OrderedSongs.isFull())
        state.OrderedSongs.append({"102001", "歌1--林曉雯"});
    type("124\r");
    EXPECT_EQ(echo(), "點歌已滿!");
    EXPECT_EQ(state.OrderedSongs.length(), PlayQueue::kCapacity);
    EXPECT_TRUE(w.inputBuffer().isEmpty());

    // "*" and "/" act on the song and leave the typed digits alone; unknown keys do nothing.
    type("12");
    const int channel = state.SoundChannel;
    type("*");
    EXPECT_NE(state.SoundChannel, channel);
    type("/q");
    EXPECT_EQ(w.inputBuffer(), "12");
    EXPECT_EQ(queue().first(), "124") << "the playing song was skipped";

    // The on-screen keys send the same codes as the keypad.
    w.number_dot->pressed();
    w.number_dot->pressed();
    w.number_key[0]->pressed();
    w.number_enter->pressed();
    EXPECT_TRUE(closedToControlBar()) << "\"0\" and Enter bring the control bar back";
}

TEST_F(OrderingWindowTest, CuttingInMovesTheLineAfterTheNextSongAndTheListFollowsTheQueue)
{
    queueSongs(5);
    for (int i = 1; i <= 4; ++i)
        state.OrderedSongs.append({QStringLiteral("30010%1").arg(i), QStringLiteral("男歌%1--男歌手A").arg(i)});
    SmallInttersong &w = window<SmallInttersong>();
    EXPECT_TRUE(state.InsertWindowOpen);
    EXPECT_EQ(screen(), QStringList({"1 歌1--林曉雯", "2 歌2--林曉雯", "3 歌3--林曉雯", "4 歌4--林曉雯",
                                     "5 歌5--林曉雯", "第 1 頁", "插播功能"}));

    type("4\r");
    EXPECT_EQ(queue().mid(0, 5), QStringList({"102001", "102002", "102004", "102003", "102005"}));
    EXPECT_EQ(screen().at(2), "3 歌4--插播");
    EXPECT_EQ(echo(), "");

    const std::pair<QString, QString> refusals[] = {
        {"1\r", "這種歌不用插播了啦!"},
        {"2\r", "這種歌不用插播了啦!"},
        {"7\r", "沒這種歌!"},
        {"00\r", "輸入錯誤"},
        {"4.\r", ""}, // Enter on nothing, the echo emptied just before, changes nothing
        {"99999999999999999999\r", "沒這種歌!"},
    };
    const QStringList before = queue();
    for (const auto &[keys, echoed] : refusals) {
        type(keys);
        EXPECT_EQ(echo(), echoed) << keys.toStdString();
        EXPECT_TRUE(w.inputBuffer().isEmpty()) << keys.toStdString();
    }
    EXPECT_EQ(queue(), before);

    // Page 2: line 1 is row 5; its song goes to row 2.
    type("+2\r");
    EXPECT_EQ(queue().mid(0, 4), QStringList({"102001", "102002", "300102", "102004"}));
    EXPECT_EQ(screen().first(), "1 歌5--林曉雯");
    type("5\r");
    EXPECT_EQ(echo(), "沒歌可插!");
    type("++");
    EXPECT_EQ(screen(), QStringList({"1", "2", "3", "4", "5", "第 4 頁", "插播功能"}));
    type("----");
    EXPECT_EQ(screen().at(5), "第 1 頁") << "and no further back";

    // A catalogue number wins over a line of the page.
    type("3\r");
    EXPECT_EQ(queue().last(), "3");
    EXPECT_EQ(echo(), "小城故事");

    // A song ends underneath: the page shows the shorter queue.
    wmp().finishSong();
    EXPECT_EQ(screen().first(), "1 歌2--林曉雯");

    // A phone moves a song up while the guest types a line: Enter moves the song that was shown.
    type("4");
    const QString shown = queue().at(3);
    state.OrderedSongs.moveForward(6, 1, "插播");
    type("\r");
    EXPECT_EQ(queue().at(2), shown);
    // A song ends while a line is typed: the page is drawn again and the line taken back.
    type("4");
    wmp().finishSong();
    EXPECT_EQ(echo(), "點歌單已變動,請重選");
    EXPECT_TRUE(w.inputBuffer().isEmpty());

    type("0\r");
    EXPECT_TRUE(closedToControlBar());
    EXPECT_FALSE(state.InsertWindowOpen);
}

TEST_F(OrderingWindowTest, OrderingBySingerGoesFromGroupToSingerToSongsAndBack)
{
    queueSongs(1);
    SmallOrderBySinger &w = window<SmallOrderBySinger>();
    EXPECT_EQ(screen(), QStringList({"請輸入曲目種類", "1.女歌手", "2.男歌手", "3.團體or其它", "0.上一目錄"}));
    type("9");
    EXPECT_EQ(w.menuState(), "2") << "\"9\" is forgotten in the group choice";

    type("2");
    EXPECT_EQ(w.menuState(), "2_1");
    EXPECT_EQ(screen().mid(0, 5), QStringList({"01.男歌手A", "02.男歌手B", "03.男歌手C", "04.男歌手D", "05.男歌手E"}));
    type("+");
    EXPECT_EQ(screen(), QStringList({"06.男歌手F", "07.", "08.", "09.", "10.", "  第 2 頁"}));
    type("7\r");
    EXPECT_EQ(echo(), "沒這種人!");
    for (const QString position : {"00", "99999999999999999999"}) {
        type(position + "\r");
        EXPECT_EQ(echo(), "沒這種人!") << position.toStdString();
    }
    type("124\r");
    EXPECT_EQ(echo(), "月亮代表") << "a catalogue number typed at the singer list is queued at once";
    EXPECT_EQ(queue().last(), "124");

    type("-1\r");
    EXPECT_EQ(w.menuState(), "2_2");
    EXPECT_EQ(screen(), QStringList({"01.男歌1", "02.男歌2", "03.男歌3", "04.男歌4", "歌手:男歌手A", "  第 1 頁"}));
    type("+6\r");
    EXPECT_EQ(queue().last(), "300106");
    EXPECT_EQ(screen().mid(4), QStringList({"歌手:男歌手A", "成功點入:男歌6....", "  第 2 頁"}));
    for (const DrawingSurface::TextRun &run : w.Picture1->runs())
        EXPECT_LE(run.position.y() + w.Picture1->lineHeight(), w.Picture1->ScaleHeight())
            << run.text.toStdString() << " is cut off at the bottom of the list";
    type("7\r");
    EXPECT_EQ(echo(), "沒這種歌!");
    for (const QString position : {"00", "99999999999999999999"}) {
        type("7\r" + position + "\r");
        EXPECT_EQ(echo(), "") << "no position of any list: the page again, without a word";
        EXPECT_TRUE(w.inputBuffer().isEmpty());
    }
    type("3\r");
    EXPECT_EQ(queue().last(), "3") << "a catalogue number wins over a list position";
    EXPECT_EQ(state.OrderedSongs.length(), 4);

    type("0\r");
    EXPECT_EQ(w.menuState(), "2_1");
    EXPECT_EQ(screen().first(), "01.男歌手A") << "back on the singer page the singer was picked from";
    type("0\r");
    EXPECT_EQ(w.menuState(), "2");
    type("0");
    EXPECT_TRUE(closedToControlBar());
    w.show();
    EXPECT_EQ(w.menuState(), "2") << "the window reopens on the group choice";
}

// Every way out of an in-song window brings the control bar back with the keyboard focus, over
// the song that plays on; the mixer panel goes back to the bar too. Keys go wherever the focus
// is, as a guest's keypad would send them.
TEST_F(OrderingWindowTest, EveryWayOutOfAnInSongWindowLeadsBackToTheBarWithTheFocus)
{
    queueSongs(1);
    PlaybackSession &playing = unstartedSession();
    QTimer menuTimer;
    Player player(playing, state, fakes.services, QSize(1280, 720), &menuTimer);
    player.makeOrderingWindow = [&](NextWindow kind) {
        return makeOrderingWindow(kind, playing, state, QSize(1280, 720), &player);
    };
    // The bar's key, then what the guest types in the window it opens.
    const std::vector<std::pair<QString, QString>> waysOut = {
        {"1", "0\r"},                        // ordering by number
        {"1", "124\r0\r"},                   // ordering by number, after ordering
        {"2", "0\r"},                        // cutting in
        {"2", "1\r0\r"},                     // cutting in, after moving a song
        {"3", "0"},                          // by singer, right after opening
        {"3", "20\r0"},                      // by singer, from the singer list
        {"3", "2124\r1\r1\r0\r0\r0"},        // by singer, from the song list after ordering twice
        {"3", "2+6\r0\r0\r0"},                // by singer, from a singer on the second page
        {"4", "0"},                          // the mixer panel
    };
    size_t wayOut = 0;
    QStringList opened;
    QStringList barWithoutFocus;
    const auto typeAtFocus = [](const QString &keys) {
        for (QChar c : keys) {
            QWidget *target = QApplication::focusWidget();
            ASSERT_NE(target, nullptr) << "no widget has the keyboard focus";
            QKeyEvent press(QEvent::KeyPress, c == QLatin1Char('\r') ? Qt::Key_Return : 0, Qt::NoModifier,
                            c == QLatin1Char('\r') ? QString() : QString(c));
            QCoreApplication::sendEvent(target, &press);
        }
    };
    ModalRunner::setHook([&](QDialog &d) {
        opened.append(d.objectName());
        // The focus timers have their turn, as they would before a guest's next key.
        QTest::qWait(250);
        const bool bar = d.objectName() == "small_control_main";
        if (bar && !(d.isVisible() && d.isActiveWindow() && d.isAncestorOf(QApplication::focusWidget())))
            barWithoutFocus.append(QString::number(wayOut));
        if (bar)
            typeAtFocus(wayOut < waysOut.size() ? waysOut[wayOut].first : QStringLiteral("0"));
        else
            typeAtFocus(waysOut[wayOut++].second);
    });
    player.show();
    QTest::qWait(20);
    QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QStringLiteral("0"));
    QCoreApplication::sendEvent(&player, &press);
    ModalRunner::setHook({});

    QStringList expected;
    for (const auto &[barKey, keys] : waysOut)
        expected << "small_control_main"
                 << QStringList{"small_ordersong", "small_inttersong", "small_order_by_singer", "mixer_menu"}
                        .at(barKey.toInt() - 1);
    expected << "small_control_main";
    EXPECT_EQ(opened, expected);
    EXPECT_TRUE(barWithoutFocus.isEmpty()) << "the bar lacked the focus after ways out "
                                           << barWithoutFocus.join(',').toStdString();
    EXPECT_EQ(wmp().playState(), PlayState::Playing) << "the song plays on under the windows";
    EXPECT_TRUE(player.Timer3->isActive());
}

} // namespace
