// What scoring costs: the CPU of listening to the guest while a song plays and of reading the
// song's guide vocal ahead (together as a share of one core over the song), the time from a
// song's end to its score, and the time from play to playing with scoring on and off.
//   bench_scoring [benchmark flags]
// A 4-minute KTV song and a take are generated once in $TMPDIR/karaoke-bench-scoring.
#include "event_waits.h"
#include "silent_services.h"
#include "support/silent_engine.h"
#include "support/singing_media.h"

#include "core/database.h"
#include "core/init_system.h"
#include "core/shared_state.h"
#include "platform/gst/gst_media_player.h"
#include "platform/gst/gst_song_sound_reader.h"
#include "platform/gst/gst_voice_capture.h"
#include "platform/qt_file_system.h"
#include "platform/services.h"
#include "platform/system_clock.h"
#include "playback/playback_session.h"
#include "playback/song_scoring.h"
#include "scoring/guide_vocal.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <functional>
#include <memory>

namespace {

constexpr double kSongSeconds = 240;
constexpr int kTimeoutMs = 20000;

// The song and the take, made once and kept.
struct Media
{
    QString dir = QDir::temp().filePath(QStringLiteral("karaoke-bench-scoring"));
    QString song = dir + QStringLiteral("/ktv-4min.wav");
    QString take = dir + QStringLiteral("/take-4min.wav");
    QString shortSong = dir + QStringLiteral("/ktv-30s.wav");

    Media()
    {
        QDir().mkpath(dir);
        using namespace singing_media;
        if (!QFileInfo::exists(song))
            writeKtvSong(song, kSongSeconds);
        if (!QFileInfo::exists(take))
            writeWav(take, sungMelody(kSongSeconds, 0));
        if (!QFileInfo::exists(shortSong))
            writeKtvSong(shortSong, 30);
    }
};

Media &media()
{
    static Media made;
    return made;
}

// Listening to a live source for 20 s, the guide of the song read before: the CPU of the
// scorer alone while a song plays (this process does nothing else), as a share of one core.
void listeningWhileASongPlays(benchmark::State &state)
{
    for (auto _ : state) {
        GstVoiceCapture capture(QStringLiteral("audiotestsrc is-live=true wave=sine freq=220 samplesperbuffer=441"));
        GstSongSoundReader reader;
        SongScoring scoring(capture, reader);
        scoring.songOpening(QStringLiteral("101001"), media().shortSong, 0);
        waitUntil([] { return false; }, 3000);
        const double before = cpuSeconds();
        QElapsedTimer wall;
        wall.start();
        scoring.songPlaying();
        waitUntil([] { return false; }, 20000);
        scoring.songEnded();
        const double seconds = double(wall.elapsed()) / 1000;
        state.counters["cpu_percent_of_one_core"] = 100 * (cpuSeconds() - before) / seconds;
        state.SetIterationTime(seconds);
    }
}

// The guide vocal of the 4-minute song, read as the song starts (the code the reading thread
// runs): its CPU spread over the song's length, as a share of one core.
void readingTheGuide(benchmark::State &state)
{
    for (auto _ : state) {
        GstSongSoundReader reader;
        std::unique_ptr<GuideVocal> vocal;
        const std::atomic<bool> stop{false};
        const double before = cpuSeconds();
        QElapsedTimer wall;
        wall.start();
        const SongSoundReader::Result read = reader.read(media().song, [&](int track, const float *frames, size_t count, int rate) {
            if (!vocal)
                vocal = std::make_unique<GuideVocal>(rate);
            vocal->add(track, frames, count);
        }, stop);
        const bool found = read.outcome == SongSoundReader::Outcome::Read && vocal && vocal->finish(read.trackCount).pitch;
        const double cpu = cpuSeconds() - before;
        state.counters["cpu_seconds"] = cpu;
        state.counters["cpu_percent_over_the_song"] = 100 * cpu / kSongSeconds;
        state.counters["guide_found"] = found ? 1 : 0;
        state.SetIterationTime(double(wall.elapsed()) / 1000);
    }
}

// From the end of the 4-minute song to its score: what the window thread does between the end
// of stream and the card (the capture stopped, the guide taken, the score computed).
void cardAfterTheSongsEnd(benchmark::State &state)
{
    for (auto _ : state) {
        GstVoiceCapture capture(QStringLiteral("filesrc location=\"%1\" ! wavparse").arg(media().take));
        GstSongSoundReader reader;
        SongScoring scoring(capture, reader);
        const double before = cpuSeconds();
        scoring.songOpening(QStringLiteral("101001"), media().song, 0);
        scoring.songPlaying();
        // The take, read from a file as fast as it goes, and the guide are in by then.
        waitUntil([] { return false; }, 15000);
        state.counters["guide_and_take_cpu_seconds"] = cpuSeconds() - before;
        QElapsedTimer timer;
        timer.start();
        const std::optional<int> score = scoring.songEnded();
        const double ms = double(timer.nsecsElapsed()) / 1e6;
        state.counters["end_to_score_ms"] = ms;
        state.counters["score"] = score.value_or(-1);
        state.SetIterationTime(ms / 1000);
    }
}

// A program folder with the 30-s KTV song and a session on the real player.
class SessionBench
{
public:
    SessionBench()
    {
        if (!InitSystem(m_state, m_fileSystem, m_clock, m_home.path()).ok)
            std::fprintf(stderr, "cannot make a program folder in %s\n", qPrintable(m_home.path()));
        m_state.db().ExecuteSql(QStringLiteral("INSERT INTO singer (singer_name, singer_sex) VALUES ('測試', 2)"));
        m_state.db().ExecuteSql(QStringLiteral("INSERT INTO song (song_num, song_kind, song_name, song_text_count, "
                                               "song_singer_code, song_build_date, song_location) "
                                               "VALUES ('101001', 1, '月亮', 2, ?, '2024/01/01', ?)"),
                                {m_state.db().lastInsertRowId(), media().shortSong});
    }

    // Plays the song and returns how long from the start of play to playing.
    double playToPlaying(SongScoring *scoring)
    {
        PlaybackSession session(m_state, m_services);
        session.attachScoring(scoring);
        session.start();
        m_state.OrderedSongs.append({QStringLiteral("101001"), QStringLiteral("月亮")});
        QElapsedTimer timer;
        QObject::connect(&session, &PlaybackSession::songStarted, [&] { timer.start(); });
        waitUntil([&] { return timer.isValid() && session.isPlaying(); }, kTimeoutMs);
        const double ms = double(timer.nsecsElapsed()) / 1e6;
        session.close();
        m_state.OrderedSongs.clear();
        return ms;
    }

    // Plays the song to its end with the take captured in real time; the time from its end of
    // stream to the score card.
    double endToCard(SongScoring &scoring, int *shown)
    {
        PlaybackSession session(m_state, m_services);
        session.attachScoring(&scoring);
        QElapsedTimer sinceEnd;
        double ms = -1;
        // The end is reported as a play state first, then as the end of stream the session acts on.
        QObject::connect(m_players.last, &MediaPlayer::playStateChanged, [&](PlayState s) {
            if (s == PlayState::MediaEnded)
                sinceEnd.start();
        });
        QObject::connect(&session, &PlaybackSession::scoreShown, [&](int score) {
            *shown = score;
            ms = double(sinceEnd.nsecsElapsed()) / 1e6;
        });
        m_state.OrderedSongs.append({QStringLiteral("101001"), QStringLiteral("月亮")});
        session.start();
        waitUntil([&] { return ms >= 0; }, 60000);
        session.close();
        m_state.OrderedSongs.clear();
        return ms;
    }

private:
    QTemporaryDir m_home;
    QtFileSystem m_fileSystem;
    SystemClock m_clock{50};
    Silent m_silent;
    SilentPrinter m_printer;
    SilentSpreadsheets m_spreadsheets;
    SilentEngine m_players;
    Services m_services{m_fileSystem, m_clock, m_silent, m_silent, m_silent,
                        m_silent, m_players, m_silent, m_printer, m_spreadsheets};
    SharedState m_state;
};

void playToPlaying(benchmark::State &state)
{
    SessionBench bench;
    const bool scoringOn = state.range(0) != 0;
    for (auto _ : state) {
        GstVoiceCapture capture(QStringLiteral("audiotestsrc is-live=true"));
        GstSongSoundReader reader;
        SongScoring scoring(capture, reader);
        const double ms = bench.playToPlaying(scoringOn ? &scoring : nullptr);
        state.SetIterationTime(ms / 1000);
    }
}

void cardInTheSession(benchmark::State &state)
{
    SessionBench bench;
    for (auto _ : state) {
        GstVoiceCapture capture(QStringLiteral("filesrc location=\"%1\" ! wavparse ! identity sync=true").arg(media().take));
        GstSongSoundReader reader;
        SongScoring scoring(capture, reader);
        int shown = -1;
        const double ms = bench.endToCard(scoring, &shown);
        state.counters["score"] = shown;
        state.SetIterationTime(std::max(ms, 0.0) / 1000);
    }
}

} // namespace

BENCHMARK(listeningWhileASongPlays)->Unit(benchmark::kSecond)->UseManualTime()->Iterations(1);
BENCHMARK(readingTheGuide)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(1);
BENCHMARK(cardAfterTheSongsEnd)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);
BENCHMARK(playToPlaying)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(10);
BENCHMARK(cardInTheSession)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(1);

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    media();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
