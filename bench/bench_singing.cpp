// How soon the guest hears a change of sound channel or key, from the key press to the changed
// sound at the player's sink, and what a key change costs in CPU.
//   bench_singing [benchmark flags] [MEDIA_DIR]
// MEDIA_DIR (or $KARAOKE_TEST_MEDIA) holds the clips of scripts/make-test-media.sh. The keys go
// through the playback session as the mixer and the hot keys send them; the sound is read from
// the sink, which renders each buffer when it is due, as a sound card plays it.
#include "event_waits.h"
#include "media_dir.h"
#include "silent_services.h"
#include "support/tone_analysis.h"

#include "core/database.h"
#include "core/init_system.h"
#include "core/shared_state.h"
#include "platform/gst/gst_media_player.h"
#include "platform/gst/gst_media_player_factory.h"
#include "platform/qt_file_system.h"
#include "platform/services.h"
#include "platform/system_clock.h"
#include "playback/playback_session.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <QtEndian>

#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>
#include <numbers>
#include <optional>
#include <thread>
#include <vector>

namespace {

using SteadyClock = std::chrono::steady_clock;

constexpr int kRate = 44100;
constexpr int kTimeoutMs = 10000;
constexpr double kWindowSeconds = 0.04;   // long enough to tell a semitone apart
constexpr double kStepSeconds = 0.005;

QString g_mediaDir;

// What the player's sink renders, read from a pipe as it comes. A synced sink renders each
// buffer when its first sample is due, so a sample is heard when its buffer arrived plus its
// place in the buffer.
class SinkTap
{
public:
    SinkTap()
    {
        if (pipe(m_fds) != 0)
            std::perror("pipe");
        m_reader = std::thread([this] { readAll(); });
    }
    ~SinkTap()
    {
        ::close(m_fds[1]);
        m_reader.join();
        ::close(m_fds[0]);
    }

    QString sinkDescription() const
    {
        return QStringLiteral("audioconvert ! audio/x-raw,format=S16LE,rate=%1,channels=2 ! fdsink fd=%2 sync=true")
            .arg(kRate)
            .arg(m_fds[1]);
    }
    qsizetype frames() const
    {
        std::lock_guard lock(m_mutex);
        return qsizetype(m_left.size());
    }
    std::vector<qint16> left(qsizetype from, qsizetype count) const
    {
        std::lock_guard lock(m_mutex);
        if (from < 0 || from + count > qsizetype(m_left.size()))
            return {};
        return {m_left.begin() + from, m_left.begin() + from + count};
    }
    SteadyClock::time_point heardAt(qsizetype frame) const
    {
        std::lock_guard lock(m_mutex);
        auto arrival = m_arrivals.front();
        for (const auto &a : m_arrivals) {
            if (a.first > frame)
                break;
            arrival = a;
        }
        const auto offset = std::chrono::duration<double>(double(frame - arrival.first) / kRate);
        return arrival.second + std::chrono::duration_cast<SteadyClock::duration>(offset);
    }

private:
    void readAll()
    {
        QByteArray pending;
        char buffer[16384];
        for (;;) {
            const ssize_t got = ::read(m_fds[0], buffer, sizeof buffer);
            if (got <= 0)
                return;
            const auto now = SteadyClock::now();
            pending.append(buffer, got);
            const qsizetype whole = pending.size() / 4;
            std::lock_guard lock(m_mutex);
            m_arrivals.emplace_back(qsizetype(m_left.size()), now);
            for (qsizetype i = 0; i < whole; ++i)
                m_left.push_back(qFromLittleEndian<qint16>(pending.constData() + 4 * i));
            pending.remove(0, whole * 4);
        }
    }

    int m_fds[2] = {-1, -1};
    mutable std::mutex m_mutex;
    std::vector<qint16> m_left; // the left speaker; the right mirrors or complements it
    std::vector<std::pair<qsizetype, SteadyClock::time_point>> m_arrivals;
    std::thread m_reader;
};

// The frame at which the left speaker turns from one tone to another: the middle of the first
// window from `from` on in which the new tone is the louder. Nothing while it has not yet.
std::optional<qsizetype> toneChange(const SinkTap &tap, qsizetype from, double before, double after)
{
    const qsizetype window = qsizetype(kWindowSeconds * kRate);
    const qsizetype step = qsizetype(kStepSeconds * kRate);
    for (qsizetype at = from; at + window <= tap.frames(); at += step) {
        const std::vector<qint16> samples = tap.left(at, window);
        if (tonePower(samples, after, kRate) > tonePower(samples, before, kRate))
            return at + window / 2;
    }
    return std::nullopt;
}

// A program folder with a catalogue of the test tones, and a playback session on the real
// player whose sound goes to the tap.
class SingingBench
{
public:
    SingingBench()
        : m_players({QStringLiteral("fakesink sync=true"), m_tap.sinkDescription()})
    {
        if (!InitSystem(m_state, m_fileSystem, m_clock, m_home.path()).ok)
            std::fprintf(stderr, "cannot make a program folder in %s\n", qPrintable(m_home.path()));
        m_state.db().ExecuteSql(QStringLiteral("INSERT INTO singer (singer_name, singer_sex) VALUES ('測試', 2)"));
        const qint64 singer = m_state.db().lastInsertRowId();
        addSong(QStringLiteral("101001"), QStringLiteral("stereo-440-880.wav"), singer);
        addSong(QStringLiteral("101002"), QStringLiteral("tone-1s.wav"), singer);
        m_session = std::make_unique<PlaybackSession>(m_state, m_services);
        m_session->start();
    }

    PlaybackSession &session() { return *m_session; }
    const SinkTap &tap() const { return m_tap; }

    // Queues the song and waits until it has played for a while, its channel applied. The wait
    // varies by up to 70 ms, so the presses fall anywhere within the sound the stages hold.
    bool playSong(const QString &number)
    {
        m_state.OrderedSongs.append({number, number});
        if (!waitUntil([&] { return m_session->isPlaying(); }, kTimeoutMs))
            return false;
        m_phase = (m_phase + 37) % 70;
        waitUntil([] { return false; }, 300 + m_phase);
        return m_session->isPlaying();
    }

private:
    void addSong(const QString &number, const QString &file, qint64 singer)
    {
        m_state.db().ExecuteSql(QStringLiteral("INSERT INTO song (song_num, song_kind, song_name, song_text_count, "
                                               "song_singer_code, song_build_date, song_location) "
                                               "VALUES (?, 1, ?, 2, ?, '2024/01/01', ?)"),
                                {number, number, singer, g_mediaDir + QLatin1Char('/') + file});
    }

    QTemporaryDir m_home;
    QtFileSystem m_fileSystem;
    SystemClock m_clock{50}; // the three seconds between songs pass in 60 ms
    Silent m_silent;
    SilentPrinter m_printer;
    SilentSpreadsheets m_spreadsheets;
    SinkTap m_tap;
    GstMediaPlayerFactory m_players;
    Services m_services{m_fileSystem, m_clock, m_silent, m_silent, m_silent,
                        m_silent, m_players, m_silent, m_printer, m_spreadsheets};
    SharedState m_state;
    std::unique_ptr<PlaybackSession> m_session;
    int m_phase = 0;
};

// Made at the first benchmark that needs it, ended before the application.
std::unique_ptr<SingingBench> g_bench;

SingingBench &bench()
{
    if (!g_bench)
        g_bench = std::make_unique<SingingBench>();
    return *g_bench;
}

// Presses the key and waits for the left speaker to turn from one tone to the other; the time
// from the press until the first changed sample is heard.
std::optional<double> heardAfter(const std::function<void()> &press, double before, double after)
{
    const SinkTap &tap = bench().tap();
    const qsizetype pressedAt = tap.frames();
    const auto pressed = SteadyClock::now();
    press();
    std::optional<qsizetype> change;
    waitUntil([&] { return (change = toneChange(tap, pressedAt, before, after)).has_value(); }, 1000);
    if (!change)
        return std::nullopt;
    return std::chrono::duration<double>(tap.heardAt(*change) - pressed).count();
}

// Each press switches the stereo song's channel from left to right or back: the left
// speaker goes from 440 Hz to 880 Hz or back.
void channelChange(benchmark::State &state)
{
    PlaybackSession &session = bench().session();
    for (auto _ : state) {
        if (!bench().playSong(QStringLiteral("101001"))) {
            state.SkipWithError("the song did not start");
            break;
        }
        const bool toRight = session.soundChannel() != 3;
        const auto seconds = heardAfter([&] { session.HandleHotKey(toRight ? 'E' : 'Q'); }, toRight ? 440 : 880,
                                        toRight ? 880 : 440);
        session.skip();
        if (!seconds) {
            state.SkipWithError("the new channel was not heard within a second");
            break;
        }
        state.SetIterationTime(*seconds);
    }
}

// Each press raises the key of a 440 Hz tone by a semitone, to 466.2 Hz.
void keyChange(benchmark::State &state)
{
    PlaybackSession &session = bench().session();
    session.setSoundChannel(1);
    for (auto _ : state) {
        if (!bench().playSong(QStringLiteral("101002"))) {
            state.SkipWithError("the song did not start");
            break;
        }
        const auto seconds = heardAfter([&] { session.stepKey(true); }, 440, 440 * std::exp2(1 / 12.0));
        session.skip();
        if (!seconds) {
            state.SkipWithError("the new key was not heard within a second");
            break;
        }
        state.SetIterationTime(*seconds);
    }
}

// Writes a stereo 44.1 kHz WAV file of a 440 Hz tone.
bool writeTone(const QString &path, int seconds)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const quint32 bytes = quint32(seconds) * kRate * 4;
    QByteArray header("RIFF....WAVEfmt ", 16);
    header.resize(44);
    char *h = header.data();
    qToLittleEndian<quint32>(36 + bytes, h + 4);
    qToLittleEndian<quint32>(16, h + 16);
    qToLittleEndian<quint16>(1, h + 20);
    qToLittleEndian<quint16>(2, h + 22);
    qToLittleEndian<quint32>(kRate, h + 24);
    qToLittleEndian<quint32>(kRate * 4, h + 28);
    qToLittleEndian<quint16>(4, h + 32);
    qToLittleEndian<quint16>(16, h + 34);
    std::memcpy(h + 36, "data", 4);
    qToLittleEndian<quint32>(bytes, h + 40);
    QByteArray samples(qsizetype(bytes), Qt::Uninitialized);
    for (qsizetype i = 0; i < qsizetype(seconds) * kRate; ++i) {
        const auto s = qint16(16000 * std::sin(2 * std::numbers::pi * 440 * double(i) / kRate));
        qToLittleEndian<qint16>(s, samples.data() + 4 * i);
        qToLittleEndian<qint16>(s, samples.data() + 4 * i + 2);
    }
    return file.write(header) == header.size() && file.write(samples) == samples.size();
}

// CPU time of the whole audio path for a minute of stereo 44.1 kHz sound, decoded as fast as
// it goes, as a share of one core while the minute plays. Against key 0 the difference is what
// the key change itself costs; with a song gain, what evening out loudness costs.
void pitchCpu(benchmark::State &state)
{
    constexpr int kSeconds = 60;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("minute.wav"));
    if (!writeTone(path, kSeconds)) {
        state.SkipWithError("cannot write the tone");
        return;
    }
    GstMediaPlayer player({QStringLiteral("fakesink sync=false"), QStringLiteral("fakesink sync=false")});
    player.setKey(int(state.range(0)));
    player.setSongGain({double(state.range(1))});
    for (auto _ : state) {
        player.setUrl(QStringLiteral("file://") + path);
        const double before = cpuSeconds();
        player.play();
        if (!waitUntil([&] { return player.playState() == PlayState::Stopped; }, 60000)) {
            state.SkipWithError("the minute did not play to its end");
            break;
        }
        state.counters["cpu_percent_of_one_core"] = 100 * (cpuSeconds() - before) / kSeconds;
    }
}

} // namespace

BENCHMARK(channelChange)->UseManualTime()->Iterations(1)->Repetitions(20)->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(keyChange)->UseManualTime()->Iterations(1)->Repetitions(20)->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(pitchCpu)->ArgNames({"key", "gain_db"})->Args({0, 0})->Args({3, 0})->Args({0, 6})->Iterations(1)
    ->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    g_mediaDir = benchMediaDir(argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    g_bench.reset();
    std::printf("target: a new channel or key heard within 100 ms of the key press (median of 20)\n");
    return 0;
}
