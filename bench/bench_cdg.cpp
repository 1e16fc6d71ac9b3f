// CD+G songs: what drawing the pictures costs, and how much later a zipped song starts than one
// whose files lie beside each other.
//   bench_cdg [benchmark flags] [FOLDER]
// Beside them, finding the .cdg of each .mp3 of a folder of 10 000 files, as registration does.
// FOLDER (default $TMPDIR/karaoke-bench-cdg) gets a 4-minute MP3 (made once with gst-launch-1.0),
// its CD+G pictures in the manner of a karaoke disc (pages of lyrics drawn tile by tile, then
// coloured in as they are sung), the pair beside each other and the same in a zip file.
#include "platform/cdg/cdg_picture.h"
#include "platform/cdg/cdg_playback.h"
#include "platform/cdg/cdg_song.h"
#include "platform/gst/gst_media_player.h"
#include "player_timing.h"
#include "support/cdg_writer.h"
#include "support/zip_writer.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <cstdio>
#include <cstring>
#include <vector>

namespace {

constexpr int kSongSeconds = 240;
constexpr int kTimeoutMs = 20000;

QString g_folder;

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Pages of four lines of lyrics: each line drawn in 40 tiles over a second, then coloured in
// tile by tile as it is sung (an exclusive-or tile every few packets), a new palette and a
// page wipe every page, a scroll now and then. Every other packet is empty, as on a disc.
QByteArray lyricPictures(int seconds)
{
    CdgWriter w;
    const int packets = seconds * 300;
    int page = 0;
    while (w.count() < packets) {
        w.colours(false, {0x000, 0xFFF, 0x0AF, 0xF80, 0x222, 0x444, 0x666, 0x888});
        w.memoryPreset(page % 2);
        w.borderPreset(page % 2);
        for (int line = 0; line < 4 && w.count() < packets; ++line) {
            const int row = 3 + line * 3;
            for (int column = 5; column < 45; ++column) {
                CdgWriter::TileRows glyph;
                for (int i = 0; i < 12; ++i)
                    glyph[std::size_t(i)] = std::uint8_t((column * 7 + i * 13 + line) & 0x3F);
                w.tile(row, column, 0, 1, glyph);
                w.moveTo(w.count() + 6);
            }
            for (int column = 5; column < 45; ++column) {
                w.tile(row, column, 0, 1 ^ 2, CdgWriter::filledRows(), true);
                w.moveTo(w.count() + 14);
            }
        }
        if (++page % 5 == 0)
            w.scroll(true, 0, 0, page % 6, 2, 0);
    }
    QByteArray bytes = w.bytes();
    bytes.truncate(qsizetype(packets) * 24);
    return bytes;
}

// The worst a stream can ask: every packet an exclusive-or tile somewhere on the screen.
QByteArray busiestPictures(int seconds)
{
    CdgWriter w;
    w.colours(false, {0x000, 0xFFF, 0x0AF, 0xF80, 0x222, 0x444, 0x666, 0x888});
    for (int i = 0; w.count() < seconds * 300; ++i)
        w.tile(i % 18, (i * 7) % 50, i % 16, (i * 3) % 16, CdgWriter::filledRows(), true);
    return w.bytes();
}

bool launch(const QString &description)
{
    QProcess process;
    process.start(QStringLiteral("gst-launch-1.0"), QStringList{QStringLiteral("-q")} + QProcess::splitCommand(description));
    return process.waitForFinished(600000) && process.exitCode() == 0;
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// The songs, made the first time: "pair/song.mp3" with "pair/song.cdg", "plain/song.mp3"
// alone, and "song.zip" holding the pair.
bool makeSongs()
{
    const QDir folder(g_folder);
    if (QFileInfo::exists(folder.filePath("song.zip")))
        return true;
    folder.mkpath("pair");
    folder.mkpath("plain");
    const QString mp3 = folder.filePath("plain/song.mp3");
    const bool made = launch(QStringLiteral("audiotestsrc wave=pink-noise volume=0.3 num-buffers=%1 samplesperbuffer=4410 "
                                            "! audio/x-raw,rate=44100,channels=2 ! lamemp3enc bitrate=192 ! id3v2mux "
                                            "! filesink location=%2")
                                 .arg(kSongSeconds * 10)
                                 .arg(mp3));
    const QByteArray pictures = lyricPictures(kSongSeconds);
    return made && QFile::copy(mp3, folder.filePath("pair/song.mp3")) && writeFile(folder.filePath("pair/song.cdg"), pictures)
        && writeZip(folder.filePath("song.zip.part"), {{"Artist - Song.cdg", pictures}, {"Artist - Song.mp3", fileBytes(mp3)}})
        && QFile::rename(folder.filePath("song.zip.part"), folder.filePath("song.zip"));
}

// Decoding a whole song as the player does: every frame at 25 a second, drawn when it changed.
void decode(benchmark::State &state, const QByteArray &bytes, const CdgFrameLayout &layout)
{
    std::vector<std::uint8_t> frame(layout.bytes());
    for (auto _ : state) {
        const double before = cpuSeconds();
        qsizetype at = 0;
        CdgPlayback playback([&](std::uint8_t *buffer, std::size_t size) {
            const std::size_t n = std::min(size, std::size_t(bytes.size() - at));
            std::memcpy(buffer, bytes.constData() + at, n);
            at += qsizetype(n);
            return n;
        });
        std::uint64_t drawn = ~std::uint64_t(0);
        int frames = 0;
        for (std::int64_t k = 0; playback.advanceToFrame(k); ++k) {
            if (playback.screen().generation() != drawn) {
                drawCdgFrame(playback.screen(), layout, frame.data());
                drawn = playback.screen().generation();
                ++frames;
            }
        }
        const double cpu = cpuSeconds() - before;
        state.counters["percent_of_a_core"] = 100 * cpu / (double(bytes.size()) / 24 / 300);
        state.counters["frames_drawn"] = frames;
    }
}

void lyricsAtOwnSize(benchmark::State &state)
{
    decode(state, lyricPictures(kSongSeconds), CdgFrameLayout::forDisplay(1920, 1080, false));
}
void lyricsDrawnAt1080p(benchmark::State &state)
{
    decode(state, lyricPictures(kSongSeconds), CdgFrameLayout::forDisplay(1920, 1080, true));
}
void everyPacketATile(benchmark::State &state)
{
    decode(state, busiestPictures(kSongSeconds), CdgFrameLayout::forDisplay(1920, 1080, false));
}

// The whole song through the real player as fast as it decodes: CPU per second of song.
void playUnsynced(benchmark::State &state, const char *file)
{
    if (!makeSongs()) {
        state.SkipWithError("cannot make the songs");
        return;
    }
    GstMediaPlayer player({QStringLiteral("fakesink sync=false"), QStringLiteral("fakesink sync=false")});
    for (auto _ : state) {
        const double before = cpuSeconds();
        player.setUrl(QStringLiteral("file://") + g_folder + QLatin1Char('/') + QLatin1String(file));
        player.play();
        if (!waitForState(player, PlayState::Stopped, kTimeoutMs)) {
            state.SkipWithError("the song did not end");
            return;
        }
        state.counters["percent_of_a_core"] = 100 * (cpuSeconds() - before) / kSongSeconds;
    }
}
void playerPlainMp3(benchmark::State &state) { playUnsynced(state, "plain/song.mp3"); }
void playerCdgPair(benchmark::State &state) { playUnsynced(state, "pair/song.mp3"); }

// From play() to "playing", as a guest waits for the song.
void playToPlaying(benchmark::State &state, const char *file)
{
    if (!makeSongs()) {
        state.SkipWithError("cannot make the songs");
        return;
    }
    timePlayToPlaying(state, QStringLiteral("file://") + g_folder + QLatin1Char('/') + QLatin1String(file));
}
// What registering a folder asks of each of its files: the .cdg beside an .mp3, in a folder of
// 5 000 pairs and 5 000 MP3s alone (each in any letter case).
void partnersOfAFolder(benchmark::State &state)
{
    const QString folder = g_folder + QStringLiteral("/folder");
    if (!QFileInfo::exists(folder + QStringLiteral("/9999.mp3"))) {
        QDir().mkpath(folder);
        for (int i = 0; i < 10000; ++i) {
            writeFile(folder + QStringLiteral("/%1.mp3").arg(i), {});
            if (i % 2 == 0)
                writeFile(folder + QStringLiteral("/%1.CdG").arg(i), {});
        }
    }
    for (auto _ : state) {
        int pairs = 0;
        for (int i = 0; i < 10000; ++i)
            pairs += !cdgPartnerPath(folder + QStringLiteral("/%1.mp3").arg(i)).isEmpty();
        state.counters["pairs"] = pairs;
    }
}

void startPlainMp3(benchmark::State &state) { playToPlaying(state, "plain/song.mp3"); }
void startCdgPair(benchmark::State &state) { playToPlaying(state, "pair/song.cdg"); }
void startZippedCdg(benchmark::State &state) { playToPlaying(state, "song.zip"); }

} // namespace

BENCHMARK(lyricsAtOwnSize)->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK(lyricsDrawnAt1080p)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(everyPacketATile)->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK(playerPlainMp3)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(playerCdgPair)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(partnersOfAFolder)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(startPlainMp3)->Iterations(20)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(startCdgPair)->Iterations(20)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(startZippedCdg)->Iterations(20)->UseManualTime()->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    g_folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::tempPath() + QStringLiteral("/karaoke-bench-cdg");
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
