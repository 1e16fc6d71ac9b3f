// The real program on a display of its own, killed with SIGKILL at random moments while a song
// plays: the history has one row for each song started, with the seconds played within 5 s.
#include "support/catalogue_home.h"
#include "support/fake_clock.h"
#include "support/fake_file_system.h"
#include "support/singing_media.h"
#include "support/virtual_display.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QTest>

#include <gtest/gtest.h>

#include <csignal>
#include <cmath>
#include <iostream>
#include <numbers>

namespace {

std::vector<float> sine(double seconds, double hz)
{
    std::vector<float> out(size_t(seconds * 44100));
    for (size_t i = 0; i < out.size(); ++i)
        out[i] = float(0.3 * std::sin(2 * std::numbers::pi * hz * double(i) / 44100));
    return out;
}

TEST(HistoryCrash, KilledWhileASongPlaysTheRowHoldsTheSecondsPlayed)
{
    FakeFileSystem fs;
    FakeClock clock;
    CatalogueHome home(fs, clock);
    ASSERT_TRUE(home.init.ok);
    const QString song = home.home.file(QStringLiteral("long.wav"));
    ASSERT_TRUE(singing_media::writeWav(song, sine(90, 440)));
    home.catalogue.addSong(QStringLiteral("100001"), 1, QStringLiteral("晴天"), home.catalogue.addSinger(QStringLiteral("周杰倫"), 1), song);
    // The queue the program finds at start: the song, waiting.
    home.catalogue.database().ExecuteSql(
        QStringLiteral("INSERT INTO play_queue (position, song_num, queue_text, song_name, singer_name) "
                       "VALUES (0, '100001', '晴天--周杰倫', '晴天', '周杰倫')"));
    const VirtualDisplay display;
    ASSERT_TRUE(display.started()) << display.whyNot().toStdString();

    QList<int> errors;
    for (int round = 1; round <= 5; ++round) {
        QProcess jukebox;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(display.environment());
        jukebox.setProcessEnvironment(environment);
        jukebox.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        jukebox.start(QStringLiteral(KARAOKE_PROGRAM),
                      {QStringLiteral("--home"), home.home.path(), QStringLiteral("--clock-speed"), QStringLiteral("4")});
        ASSERT_TRUE(jukebox.waitForStarted(10000));
        // "6" starts singing once the menu is up; the row is written as the song starts.
        const auto rows = [&] { return home.count(QStringLiteral("SELECT count(*) FROM play_history")); };
        QElapsedTimer playing;
        ASSERT_TRUE(QTest::qWaitFor([&] {
            display.press(QStringLiteral("6"));
            return QTest::qWaitFor([&] { return rows() == round; }, 1500);
        }, 30000)) << "round " << round << ": the song started and has its row";
        playing.start();
        const int killAt = 4000 + QRandomGenerator::global()->bounded(20000);
        QTest::qWait(killAt);
        const double truth = double(playing.elapsed()) / 1000;
        ::kill(pid_t(jukebox.processId()), SIGKILL);
        jukebox.waitForFinished(5000);
        EXPECT_EQ(rows(), round) << "one row per song started";
        const int played = home.count(QStringLiteral("SELECT played_seconds FROM play_history ORDER BY play_id DESC LIMIT 1"));
        errors << int(std::lround(truth)) - played;
        EXPECT_NEAR(played, truth, 5) << "round " << round;
        EXPECT_EQ(home.count(QStringLiteral("SELECT count(*) FROM play_history WHERE ended_how IS NOT NULL")), 0)
            << "a play cut off by a crash has no end";
    }
    std::cout << "seconds played minus seconds kept, per round:";
    for (const int e : errors)
        std::cout << ' ' << e;
    std::cout << std::endl;
}

} // namespace
