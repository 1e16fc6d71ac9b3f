// Times a guest's key in each in-song ordering window, from the key to the finished redraw of
// the window (look-up, queue change, drawing and painting), on the catalogue of 100 000 songs
// and 10 000 singers, over a playback session that plays nothing: the median and the worst of
// 200 presses for each kind of key.
//   bench_overlays [benchmark flags] [HOME]   (default $TMPDIR/karaoke-bench, generated once)
#include "catalogue_generator.h"
#include "silent_services.h"

#include "core/init_system.h"
#include "platform/screen_fonts.h"
#include "core/shared_state.h"
#include "overlays/small_inttersong.h"
#include "overlays/small_order_by_singer.h"
#include "overlays/small_ordersong.h"
#include "playback/playback_session.h"
#include "playback/wav_file_open.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

const QSize kScreen(1280, 720);

// The session and the three windows, made once in main().
struct Overlays
{
    QStringList numbers; // song numbers that exist
    std::unique_ptr<SmallOrdersong> ordering;
    std::unique_ptr<SmallInttersong> insertion;
    std::unique_ptr<SmallOrderBySinger> bySinger;
    int next = 0;

    QString someNumber() { return numbers.at(next++ % numbers.size()); }
};
Overlays g;

void type(KeypadWindow &window, const QString &keys)
{
    for (QChar c : keys) {
        int code = c == QLatin1Char('\r') ? 13 : int(c.unicode());
        window.handleKey(code);
    }
}

// Types keys, then times the last one until the window has painted what it shows.
void press(benchmark::State &s, KeypadWindow &window, const QString &keys)
{
    type(window, keys.chopped(1));
    QElapsedTimer timer;
    timer.start();
    type(window, keys.right(1));
    (void)window.grab(); // paints the window, its labels, keys and list, as the screen would
    s.SetIterationTime(timer.nsecsElapsed() / 1e9);
}

void orderingDigit(benchmark::State &s)
{
    for (auto _ : s) {
        press(s, *g.ordering, g.someNumber());
        type(*g.ordering, QStringLiteral("0000\r"));
    }
}

void orderingEnter(benchmark::State &s)
{
    for (auto _ : s)
        press(s, *g.ordering, g.someNumber() + QLatin1Char('\r'));
}

void orderingMissing(benchmark::State &s)
{
    for (auto _ : s)
        press(s, *g.ordering, QStringLiteral("9999\r"));
}

void insertionPage(benchmark::State &s)
{
    for (auto _ : s)
        press(s, *g.insertion, g.next++ % 2 ? QStringLiteral("-") : QStringLiteral("+"));
}

void insertionCutIn(benchmark::State &s)
{
    for (auto _ : s)
        press(s, *g.insertion, QString::number(3 + g.next++ % 3) + QLatin1Char('\r'));
}

void insertionOrder(benchmark::State &s)
{
    for (auto _ : s)
        press(s, *g.insertion, g.someNumber() + QLatin1Char('\r'));
}

// Clears what is typed and steps back to the group choice, from whichever list is shown.
void backToGroup(SmallOrderBySinger &window)
{
    for (int step = 0; step < 3 && window.menuState() != QLatin1String("2"); ++step)
        type(window, QStringLiteral("......0\r"));
}

void singerGroup(benchmark::State &s)
{
    for (auto _ : s) {
        press(s, *g.bySinger, QString::number(1 + g.next++ % 3));
        backToGroup(*g.bySinger);
    }
}

void singerPick(benchmark::State &s)
{
    for (auto _ : s) {
        type(*g.bySinger, QString::number(1 + g.next++ % 3));
        press(s, *g.bySinger, QString::number(1 + g.next % 5) + QLatin1Char('\r'));
        backToGroup(*g.bySinger);
    }
}

void singerSong(benchmark::State &s)
{
    for (auto _ : s) {
        type(*g.bySinger, QStringLiteral("2") + QString::number(1 + g.next++ % 5) + QLatin1Char('\r'));
        press(s, *g.bySinger, QStringLiteral("1\r"));
        backToGroup(*g.bySinger);
    }
}

double worst(const std::vector<double> &times)
{
    return *std::max_element(times.begin(), times.end());
}

} // namespace

#define OVERLAY_KEY(name)                                                                                              \
    BENCHMARK(name)->UseManualTime()->Iterations(1)->Repetitions(200)->ReportAggregatesOnly(true)                     \
        ->ComputeStatistics("max", worst)->Unit(benchmark::kMillisecond)
OVERLAY_KEY(orderingDigit);
OVERLAY_KEY(orderingEnter);
OVERLAY_KEY(orderingMissing);
OVERLAY_KEY(insertionPage);
OVERLAY_KEY(insertionCutIn);
OVERLAY_KEY(insertionOrder);
OVERLAY_KEY(singerGroup);
OVERLAY_KEY(singerPick);
OVERLAY_KEY(singerSong);

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    installScreenFonts();
    benchmark::Initialize(&argc, argv);
    const QString home = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::tempPath() + QStringLiteral("/karaoke-bench");
    const GeneratedCatalogue catalogue = generateCatalogue(home, 100000, 10000);

    SilentServices quiet;
    SharedState state;
    if (!InitSystem(state, quiet.fs, quiet.clock, home).ok)
        return 1;
    WavFileOpen recorder(quiet.silent);
    state.Recorder = &recorder;
    PlaybackSession session(state, quiet.services);
    g.numbers = catalogue.songNumbers;
    g.ordering = std::make_unique<SmallOrdersong>(session, state, kScreen);
    g.insertion = std::make_unique<SmallInttersong>(session, state, kScreen);
    g.bySinger = std::make_unique<SmallOrderBySinger>(session, state, kScreen);
    for (KeypadWindow *window : {static_cast<KeypadWindow *>(g.ordering.get()),
                                 static_cast<KeypadWindow *>(g.insertion.get()),
                                 static_cast<KeypadWindow *>(g.bySinger.get())})
        window->show();

    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::printf("queue length at the end: %d\n", state.OrderedSongs.length());
    std::printf("target: a key in each small window, key to finished redraw: median under 5 ms, worst under 16 ms\n");
    g.bySinger.reset();
    g.insertion.reset();
    g.ordering.reset();
    return 0;
}
