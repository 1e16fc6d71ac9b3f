// Times the recordings and multimedia browsers from the key to the finished redraw (folder
// read, sorted, page drawn and painted): entering a music folder of 10 000 files, a paging key
// in it, and a paging key in the recordings list with 5 000 recordings, which is read again at
// every key. Each repetition is one key; the median and the worst are reported.
#include "silent_services.h"

#include "core/init_system.h"
#include "platform/screen_fonts.h"
#include "core/shared_state.h"
#include "widgets/drawing_surface.h"
#include "menu/main_menu.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>

namespace {

constexpr int kMusicFiles = 10000;
constexpr int kRecordings = 5000;

void makeEmptyFiles(const QString &folder, int count, const QString &pattern)
{
    QDir().mkpath(folder);
    for (int i = 0; i < count; ++i) {
        QFile file(folder + QLatin1Char('/') + pattern.arg(i, 5, 10, QLatin1Char('0')));
        file.open(QIODevice::WriteOnly);
    }
}

// One program folder and one menu for every benchmark.
struct Jukebox
{
    Jukebox()
    {
        makeEmptyFiles(home.filePath(QStringLiteral("Music")), kMusicFiles, QStringLiteral("歌曲%1.mp3"));
        makeEmptyFiles(home.filePath(QStringLiteral("Record")), kRecordings, QStringLiteral("202612052130錄音%1.wav"));
        if (!InitSystem(state, quiet.fs, quiet.clock, home.path()).ok)
            std::abort();
        menu = std::make_unique<MainMenu>(state, quiet.services, QSize(1280, 720));
        menu->show();
        menu->Form_Activate();
    }

    void type(const QString &keys)
    {
        for (QChar c : keys) {
            int code = c == QLatin1Char('\r') ? 13 : int(c.unicode());
            menu->Picture1_KeyPress(code);
        }
    }
    // One key, timed until the surface has painted what it drew.
    double timedKey(const QString &key)
    {
        QElapsedTimer timer;
        timer.start();
        type(key);
        (void)menu->Picture1->grab();
        return timer.nsecsElapsed() / 1e9;
    }

    QTemporaryDir home;
    SilentServices quiet;
    SharedState state;
    std::unique_ptr<MainMenu> menu;
};

Jukebox *jukebox = nullptr;

void EnterFolderOf10000Files(benchmark::State &s)
{
    jukebox->menu->show_main_menu();
    jukebox->type(QStringLiteral("8"));
    for (auto _ : s) {
        s.SetIterationTime(jukebox->timedKey(QStringLiteral("1")));
        jukebox->type(QStringLiteral("0\r"));
    }
}

// Pages forward twice and back twice, over and over, from the screen the entry keys lead to.
void pagingKeys(benchmark::State &s, const QString &entry)
{
    jukebox->menu->show_main_menu();
    jukebox->type(entry);
    int key = 0;
    for (auto _ : s)
        s.SetIterationTime(jukebox->timedKey(key++ % 4 < 2 ? QStringLiteral("+") : QStringLiteral("-")));
}

void PagingKeyIn10000Files(benchmark::State &s)
{
    pagingKeys(s, QStringLiteral("81"));
}

void RecordingsKeyWith5000Files(benchmark::State &s)
{
    pagingKeys(s, QStringLiteral("7"));
}

double worst(const std::vector<double> &v)
{
    return *std::max_element(v.begin(), v.end());
}

void oneKeyEach(benchmark::internal::Benchmark *b)
{
    b->UseManualTime()->Iterations(1)->Repetitions(100)->ReportAggregatesOnly(true)->Unit(benchmark::kMillisecond);
    b->ComputeStatistics("worst", worst);
}

BENCHMARK(EnterFolderOf10000Files)->Apply(oneKeyEach);
BENCHMARK(PagingKeyIn10000Files)->Apply(oneKeyEach);
BENCHMARK(RecordingsKeyWith5000Files)->Apply(oneKeyEach);

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    installScreenFonts();
    Jukebox box;
    jukebox = &box;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
