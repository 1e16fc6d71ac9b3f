// Measuring loudness in the background, beside playing: a song played once measuring was paused
// runs on threads of normal priority and plays without a gap while the machine is busy; ending
// the program never waits for a measurement held up in a file, and nothing it finishes after
// that is stored; the jukebox itself, with a pipe named like a song in its catalogue, ends at
// "0 2" at once.
#include "app/background_measuring.h"
#include "platform/gst/gst_loudness_meter.h"
#include "platform/gst/gst_media_player.h"
#include "support/catalogue_home.h"
#include "support/fake_clock.h"
#include "support/fake_file_system.h"
#include "support/listening_sink.h"
#include "support/test_media.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTest>

#include <gtest/gtest.h>

#include <sched.h>
#include <sys/stat.h>

#include <future>
#include <thread>

namespace {

const QString kMeasured = QStringLiteral("SELECT count(*) FROM song_loudness");

// The threads of this process that run at the lowest priority.
int idleThreads()
{
    int idle = 0;
    for (const QString &thread : QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        idle += sched_getscheduler(thread.toInt()) == SCHED_IDLE ? 1 : 0;
    return idle;
}

// Keeps one core busy at normal priority while it lives.
class BusyLoop
{
public:
    BusyLoop()
        : m_thread([this] {
            volatile unsigned spin = 0;
            while (!m_stop)
                spin = spin + 1;
        })
    {
    }
    ~BusyLoop()
    {
        m_stop = true;
        m_thread.join();
    }

private:
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

// A catalogue of clips in a fresh program folder, none measured yet.
struct MeasuringHome
{
    MeasuringHome(const QStringList &locations)
    {
        const qint64 singer = home.catalogue.addSinger(QStringLiteral("甲"), 0);
        for (int i = 0; i < locations.size(); ++i)
            home.catalogue.addSong(QStringLiteral("1010%1").arg(i, 2, 10, QLatin1Char('0')), 1, QStringLiteral("歌"),
                                   singer, locations[i]);
    }

    FakeFileSystem fs;
    FakeClock clock;
    CatalogueHome home{fs, clock};
};

TEST(BackgroundMeasuring, ASongPlayedOnceMeasuringWasPausedRunsAtNormalPriorityAndHasNoGapOnABusyMachine)
{
    QStringList clips;
    for (int i = 0; i < 4; ++i)
        clips << testMedia("mpeg1.mpg") << testMedia("tone.mp3") << testMedia("three-tracks.mkv");
    MeasuringHome catalogue(clips);
    BackgroundMeasuring measuring(catalogue.home.state.DbPath, catalogue.home.state.AppPath,
                                  std::make_unique<GstLoudnessMeter>(GstLoudnessMeter::Priority::Background));
    measuring.resume();
    ASSERT_TRUE(QTest::qWaitFor([&] { return catalogue.home.count(kMeasured) >= 3; }, 60000));
    measuring.pause(); // as a key does
    // The measuring threads end within moments; what stays at the lowest priority is found below.
    (void)QTest::qWaitFor([] { return idleThreads() == 0; }, 5000);

    const ListeningSink listener;
    GstMediaPlayer player({QStringLiteral("fakesink sync=true"), listener.playerSink()});
    player.setUrl(QStringLiteral("file://") + testMedia("tone-30s.mpg"));
    player.play();
    ASSERT_TRUE(QTest::qWaitFor([&] { return player.playState() == PlayState::Playing; }, 10000));
    bool ended = false;
    QObject::connect(&player, &MediaPlayer::endOfStream, [&ended] { ended = true; });
    int idleWhilePlaying = 0;
    {
        const BusyLoop oneCore, otherCore;
        for (int second = 0; second < 45 && !QTest::qWaitFor([&] { return ended; }, 1000); ++second)
            idleWhilePlaying = std::max(idleWhilePlaying, idleThreads());
    }
    EXPECT_TRUE(ended);
    EXPECT_EQ(idleWhilePlaying, 0) << "threads at the lowest priority while the song played";
    const ListeningSink::Heard heard = listener.heard();
    EXPECT_NEAR(heard.seconds, 30, 0.2);
    EXPECT_TRUE(heard.gapless()) << "sound came " << heard.latestMs << " ms late; widest hole " << heard.widestHoleMs
                                 << " ms";
}

// A measurement that will not end until the test lets it: a file on a hung network folder.
class HeldUpMeter : public LoudnessMeter
{
public:
    Result measure(const QString &, const std::atomic<bool> &) override
    {
        entered.set_value();
        release.get_future().wait();
        return {Outcome::Measured, SongLoudness{{ChannelLoudness{-20, -3}, ChannelLoudness{-20, -3}, ChannelLoudness{-20, -3}}}};
    }
    std::promise<void> entered;
    std::promise<void> release;
};

TEST(BackgroundMeasuring, EndingNeverWaitsForAMeasurementHeldUpInAFileAndStoresNothingFromItLater)
{
    MeasuringHome catalogue({testMedia("tone.mp3")});
    auto meter = std::make_unique<HeldUpMeter>();
    HeldUpMeter &held = *meter;
    std::future<void> entered = held.entered.get_future();
    auto measuring = std::make_unique<BackgroundMeasuring>(catalogue.home.state.DbPath, catalogue.home.state.AppPath,
                                                           std::move(meter));
    measuring->resume();
    ASSERT_EQ(entered.wait_for(std::chrono::seconds(10)), std::future_status::ready);

    QElapsedTimer ending;
    ending.start();
    auto ended = std::async(std::launch::async, [&measuring] { measuring.reset(); });
    const bool endedInTime = ended.wait_for(std::chrono::milliseconds(1500)) == std::future_status::ready;
    EXPECT_TRUE(endedInTime) << "ending waited " << ending.elapsed() << " ms for the measurement";
    held.release.set_value(); // the file answers at last
    ended.wait();
    QTest::qWait(300);
    EXPECT_EQ(catalogue.home.count(kMeasured), 0) << "a measurement finished after the end is not stored";
}

// The jukebox on a screen of its own (Xvfb), driven with keys as a guest would (xdotool).
class ScreenForJukebox
{
public:
    ScreenForJukebox()
    {
        for (int number = 140; number < 200 && m_display.isEmpty(); ++number) {
            if (QFile::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(number)))
                continue;
            m_server.start(QStringLiteral("Xvfb"), {QStringLiteral(":%1").arg(number), QStringLiteral("-screen"),
                                                     QStringLiteral("0"), QStringLiteral("1280x720x24"),
                                                     QStringLiteral("-nolisten"), QStringLiteral("tcp")});
            if (m_server.waitForStarted(5000)
                && QTest::qWaitFor([number] { return QFile::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(number)); }, 5000))
                m_display = QStringLiteral(":%1").arg(number);
        }
    }
    ~ScreenForJukebox()
    {
        m_server.terminate();
        m_server.waitForFinished(5000);
    }
    QString display() const { return m_display; }
    QProcessEnvironment environment() const
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("DISPLAY"), m_display);
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        return environment;
    }
    void press(const QString &key) const
    {
        QProcess xdotool;
        xdotool.setProcessEnvironment(environment());
        xdotool.start(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("--clearmodifiers"), key});
        xdotool.waitForFinished(5000);
    }

private:
    QProcess m_server;
    QString m_display;
};

TEST(BackgroundMeasuring, TheJukeboxWithAPipeNamedLikeASongEndsAtZeroTwoAtOnce)
{
    FakeFileSystem fs;
    FakeClock clock;
    CatalogueHome home(fs, clock);
    ASSERT_EQ(mkfifo(QFile::encodeName(home.home.file(QStringLiteral("管道.mpg"))).constData(), 0600), 0);
    const qint64 singer = home.catalogue.addSinger(QStringLiteral("甲"), 0);
    home.catalogue.addSong(QStringLiteral("101001"), 1, QStringLiteral("管道"), singer, home.home.file(QStringLiteral("管道.mpg")));
    home.catalogue.addSong(QStringLiteral("101002"), 1, QStringLiteral("歌"), singer, testMedia("tone.mp3"));
    home.catalogue.addSong(QStringLiteral("101003"), 1, QStringLiteral("歌"), singer, testMedia("level-loud.wav"));

    const ScreenForJukebox screen;
    ASSERT_FALSE(screen.display().isEmpty()) << "Xvfb (installed by scripts/install-deps.sh) did not start";
    QProcess jukebox;
    jukebox.setProcessEnvironment(screen.environment());
    jukebox.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    // Twenty times faster: the menu comes at once, and measuring starts after a second alone.
    jukebox.start(QStringLiteral(KARAOKE_PROGRAM), {QStringLiteral("--home"), home.home.path(), QStringLiteral("--clock-speed"), QStringLiteral("20")});
    ASSERT_TRUE(jukebox.waitForStarted(10000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return home.count(kMeasured) == 2; }, 30000)) << "the songs after the pipe are measured";

    screen.press(QStringLiteral("0"));
    QTest::qWait(300);
    QElapsedTimer ending;
    ending.start();
    screen.press(QStringLiteral("2"));
    const bool ended = jukebox.waitForFinished(2000);
    EXPECT_TRUE(ended) << "still running " << ending.elapsed() << " ms after 0 2";
    if (!ended) {
        jukebox.kill();
        jukebox.waitForFinished(5000);
    }
    EXPECT_EQ(jukebox.exitCode(), 0);
}

} // namespace
