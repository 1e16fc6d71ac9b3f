// The play history: the chart queries over a history of 1 000 000 plays, and play to playing
// with the history written (and the remembered key looked up) against without.
//   bench_history [benchmark flags]
// The history is generated once into $TMPDIR/karaoke-bench-history: 1 000 000 plays of 20 000
// songs at a busy room's pace (a song every 4 minutes round the clock, 7.6 years, so the last
// 30 days hold 10 800 plays); a 10-second song is written beside it.
#include "event_waits.h"
#include "silent_services.h"
#include "support/history_builder.h"
#include "support/silent_engine.h"
#include "support/singing_media.h"

#include "core/catalogue_file.h"
#include "core/history_writer.h"
#include "core/init_system.h"
#include "core/lookups.h"
#include "core/play_history.h"
#include "core/shared_state.h"
#include "platform/qt_file_system.h"
#include "platform/services.h"
#include "platform/system_clock.h"
#include "playback/play_recorder.h"
#include "playback/playback_session.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <numbers>

namespace {

constexpr int kPlays = 1000000;
constexpr int kSongs = 20000;
constexpr int kDays = kPlays * 4 / (60 * 24); // one song every 4 minutes
constexpr int kTimeoutMs = 20000;

// A program folder whose catalogue holds the songs and the history, made once and kept.
struct Room
{
    QString dir = QDir::temp().filePath(QStringLiteral("karaoke-bench-history"));
    QString song = dir + QStringLiteral("/tone-10s.wav");
    qint64 now = 0;

    Room()
    {
        QDir().mkpath(dir);
        if (!QFileInfo::exists(song)) {
            std::vector<float> tone(44100 * 10);
            for (size_t i = 0; i < tone.size(); ++i)
                tone[i] = float(0.3 * std::sin(2 * std::numbers::pi * 440 * double(i) / 44100));
            singing_media::writeWav(song, tone);
        }
        QtFileSystem fs;
        SystemClock clock;
        SharedState state;
        if (!InitSystem(state, fs, clock, dir).ok)
            std::fprintf(stderr, "cannot make a program folder in %s\n", qPrintable(dir));
        Database &db = state.db();
        Recordset made = db.OpenRecordset(QStringLiteral("SELECT count(*), max(started_at) FROM play_history"));
        if (made.value(0).toInt() == kPlays) {
            now = made.value(1).toLongLong() + 60;
            return;
        }
        std::fprintf(stderr, "generating %d plays of %d songs over %d days...\n", kPlays, kSongs, kDays);
        db.ExecuteSql(QStringLiteral("DELETE FROM play_history"));
        db.ExecuteSql(QStringLiteral("INSERT INTO singer (singer_name, singer_sex) VALUES ('歌手', 1)"));
        std::vector<QString> numbers;
        {
            ScopedTransaction transaction(db);
            for (int i = 0; i < kSongs; ++i) {
                numbers.push_back(QString::number(100000 + i));
                db.ExecuteSql(QStringLiteral("INSERT INTO song (song_num, song_kind, song_name, song_text_count, "
                                             "song_singer_code, song_build_date, song_location) "
                                             "VALUES (?, 1, ?, 2, 1, '2024/01/01', ?)"),
                              {numbers.back(), QStringLiteral("歌") + numbers.back(), song});
            }
            transaction.commit();
        }
        now = QDateTime::currentSecsSinceEpoch();
        generateHistory(db, numbers, kPlays, kDays, now);
        CatalogueFile::closeCleanly(db);
    }
};

Room &room()
{
    static Room made;
    return made;
}

void chartQuery(benchmark::State &state)
{
    Database db(room().dir + QStringLiteral("/karaoke.mdb"));
    const bool lastThirtyDays = state.range(0) != 0;
    const std::optional<qint64> since =
        lastThirtyDays ? std::optional(room().now - qint64(PlayHistory::kChartDays) * 86400) : std::nullopt;
    size_t rows = 0;
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        rows = PlayHistory::chart(db, since, PlayHistory::kChartLength, true).size();
        state.SetIterationTime(double(timer.nsecsElapsed()) / 1e9);
    }
    state.counters["rows"] = double(rows);
}

// Play to playing: from the song's text shown (the player's first step of a song) to playing.
void playToPlaying(benchmark::State &state)
{
    const bool historyOn = state.range(0) != 0;
    QtFileSystem fs;
    SystemClock clock{50};
    SharedState shared;
    InitSystem(shared, fs, clock, room().dir);
    Silent silent;
    SilentPrinter printer;
    SilentSpreadsheets spreadsheets;
    SilentEngine players;
    Services services{fs, clock, silent, silent, silent, silent, players, silent, printer, spreadsheets};
    HistoryWriter writer(shared.DbPath, 100000);
    for (auto _ : state) {
        PlaybackSession session(shared, services);
        std::unique_ptr<PlayRecorder> recorder;
        if (historyOn)
            recorder = std::make_unique<PlayRecorder>(session, shared, writer, true,
                                                      [] { return QDateTime::currentSecsSinceEpoch(); });
        QElapsedTimer timer;
        QObject::connect(&session, &PlaybackSession::messageChanged, [&](const QString &text) {
            if (!text.isEmpty() && !timer.isValid())
                timer.start();
        });
        AddToOrderList(shared, QStringLiteral("100007"));
        session.start();
        waitUntil([&] { return timer.isValid() && session.isPlaying(); }, kTimeoutMs);
        state.SetIterationTime(double(timer.nsecsElapsed()) / 1e9);
        recorder.reset();
        session.close();
        shared.OrderedSongs.clear();
    }
    writer.flush(5000);
    // The plays written by the benchmark go again, so the next run has the same history.
    shared.db().ExecuteSql(QStringLiteral("DELETE FROM play_history WHERE play_id > ?"), {qint64(kPlays)});
}

} // namespace

BENCHMARK(chartQuery)->ArgName("last30days")->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(50);
BENCHMARK(playToPlaying)->ArgName("history")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(15);

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    room();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
