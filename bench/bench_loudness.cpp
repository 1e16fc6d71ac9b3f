// How fast the loudness of a song is measured, per core: a 4-minute MPEG-1 karaoke song (352x240
// picture, MPEG audio layer II) and a 4-minute MP3, both made once with gst-launch-1.0 into
// $TMPDIR/karaoke-bench-loudness. Beside each, the CPU of decoding the sound alone, so the
// share of the measuring itself shows. Then what an idle pass costs before it measures anything:
// a pass over 20 000 songs measured already, looking at every song's file.
//   bench_loudness [benchmark flags] [FOLDER]
#include "catalogue/local_catalogue.h"
#include "catalogue/loudness_survey.h"
#include "core/catalogue_file.h"
#include "core/database.h"
#include "platform/gst/gst_loudness_meter.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <cstdio>

namespace {

constexpr double kSongSeconds = 240;
constexpr int kAudioBuffers = 240 * 10; // 4410 frames each at 44.1 kHz

QString g_folder;

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

bool launch(const QString &description)
{
    QProcess process;
    process.start(QStringLiteral("gst-launch-1.0"), QStringList{QStringLiteral("-q")} + QProcess::splitCommand(description));
    return process.waitForFinished(600000) && process.exitCode() == 0;
}

// Music-like sound: pink noise, stereo, at 44.1 kHz, for four minutes.
QString music()
{
    return QStringLiteral("audiotestsrc wave=pink-noise volume=0.3 num-buffers=%1 samplesperbuffer=4410 "
                          "! audio/x-raw,rate=44100,channels=2")
        .arg(kAudioBuffers);
}

// The song file, made the first time.
QString song(const QString &name)
{
    const QString path = g_folder + QLatin1Char('/') + name;
    if (QFileInfo::exists(path))
        return path;
    QDir().mkpath(g_folder);
    const QString part = path + QStringLiteral(".part");
    const bool made = name.endsWith(QLatin1String(".mpg"))
        ? launch(QStringLiteral("videotestsrc num-buffers=%1 pattern=ball ! video/x-raw,format=I420,width=352,height=240,"
                                "framerate=25/1 ! mpeg2enc format=1 disable-encode-retries=true ! mpegvideoparse "
                                "! avmux_mpeg name=m "
                                "! filesink location=%2 %3 ! avenc_mp2 bitrate=224000 ! mpegaudioparse ! m.")
                     .arg(int(kSongSeconds * 25))
                     .arg(part, music()))
        : launch(QStringLiteral("%1 ! lamemp3enc bitrate=192 ! id3v2mux ! filesink location=%2").arg(music(), part));
    if (!made || !QFile::rename(part, path))
        std::fprintf(stderr, "cannot make %s\n", qPrintable(path));
    return path;
}

// The meter on the song: times real time per second of CPU, and per second of waiting.
void measure(benchmark::State &state, const QString &name)
{
    const QString path = song(name);
    GstLoudnessMeter meter;
    const std::atomic<bool> stop{false};
    for (auto _ : state) {
        const double before = cpuSeconds();
        const LoudnessMeter::Result result = meter.measure(path, stop);
        const double cpu = cpuSeconds() - before;
        if (result.outcome != LoudnessMeter::Outcome::Measured) {
            state.SkipWithError("the song was not measured");
            return;
        }
        state.counters["real_time_per_cpu_second"] = kSongSeconds / cpu;
    }
}

double childCpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Decoding the sound alone, into a fake sink, in gst-launch-1.0 (pictures are not decoded).
void decodeOnly(benchmark::State &state, const QString &name, const QString &decoder)
{
    const QString path = song(name);
    const QString description =
        QStringLiteral("filesrc location=%1 ! %2 ! audioconvert ! audio/x-raw,format=F32LE,channels=2 ! fakesink")
            .arg(path, decoder);
    for (auto _ : state) {
        const double before = childCpuSeconds();
        if (!launch(description)) {
            state.SkipWithError("gst-launch-1.0 failed");
            return;
        }
        state.counters["real_time_per_cpu_second"] = kSongSeconds / (childCpuSeconds() - before);
    }
}

void mpeg1Song(benchmark::State &state) { measure(state, QStringLiteral("song-4min.mpg")); }
void mp3Song(benchmark::State &state) { measure(state, QStringLiteral("song-4min.mp3")); }
void mpeg1DecodeOnly(benchmark::State &state)
{
    decodeOnly(state, QStringLiteral("song-4min.mpg"), QStringLiteral("mpegpsdemux ! mpegaudioparse ! avdec_mp2float"));
}
void mp3DecodeOnly(benchmark::State &state)
{
    decodeOnly(state, QStringLiteral("song-4min.mp3"), QStringLiteral("id3demux ! mpegaudioparse ! mpg123audiodec"));
}

// Answers at once: the pass below is to find nothing to measure.
class InstantMeter : public LoudnessMeter
{
public:
    Result measure(const QString &, const std::atomic<bool> &) override
    {
        ++asked;
        return {Outcome::Measured, SongLoudness{{ChannelLoudness{-20, -3}, std::nullopt, std::nullopt}}};
    }
    int asked = 0;
};

// A pass of the idle measuring over songs whose files are all measured as they are.
void passOverMeasuredSongs(benchmark::State &state)
{
    const int songs = int(state.range(0));
    QTemporaryDir home;
    Database db(home.filePath(QStringLiteral("karaoke.mdb")));
    QString problem;
    if (!CatalogueFile::openOrCreate(db, &problem)) {
        state.SkipWithError("the catalogue cannot be made");
        return;
    }
    for (int i = 0; i < songs; ++i) {
        const QString file = home.filePath(QStringLiteral("s%1.mpg").arg(i));
        QFile(file).open(QIODevice::WriteOnly);
        db.ExecuteSql(QStringLiteral("INSERT INTO song VALUES (?, 1, ?, 2, 1, '2024/01/01', ?)"),
                      {QString::number(100000 + i), QStringLiteral("歌曲"), file});
    }
    LocalCatalogue store(db);
    InstantMeter meter;
    const std::atomic<bool> stop{false};
    LoudnessSurvey first(db, store, home.path(), meter);
    store.beginGroup();
    while (first.measureNext(stop)) {
    }
    store.endGroup();
    for (auto _ : state) {
        LoudnessSurvey survey(db, store, home.path(), meter);
        while (survey.measureNext(stop)) {
        }
    }
    if (meter.asked != songs)
        state.SkipWithError("a song measured already was measured again");
    state.counters["songs_per_second"] = benchmark::Counter(songs, benchmark::Counter::kIsIterationInvariantRate);
}

} // namespace

BENCHMARK(passOverMeasuredSongs)->Arg(20000)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(mpeg1Song)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(mp3Song)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(mpeg1DecodeOnly)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(mp3DecodeOnly)->Iterations(3)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    g_folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::tempPath() + QStringLiteral("/karaoke-bench-loudness");
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::printf("target: at least 150 times real time per CPU second (real_time_per_cpu_second >= 150)\n");
    return 0;
}
