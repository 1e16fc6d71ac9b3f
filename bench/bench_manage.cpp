// Times the manager-mode operations that read much of the catalogue, on 100 000 songs and
// 10 000 singers: the next free song number of a prefix that holds 5 000 songs, the singer
// choice opening on one character, and the song search of song modification on two.
#include "catalogue_generator.h"
#include "silent_services.h"

#include "core/database.h"
#include "core/init_system.h"
#include "core/scoped_transaction.h"
#include "platform/screen_fonts.h"
#include "core/shared_state.h"
#include "manage/singer_choice_dialog.h"
#include "manage/song_modify.h"
#include "catalogue/song_numbers.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

constexpr QSize kScreen(1280, 720);
constexpr int kPrefixSongs = 5000;

struct Bench
{
    SilentServices quiet;
    SharedState state;
    std::unique_ptr<ScopedTransaction> extraSongs; // rolled back at the end: the catalogue stays as generated
};
Bench *bench = nullptr;

// 5 000 songs of kind 7 and 30 characters (a prefix the generator never uses), serial 2 500 missing.
void fillPrefix()
{
    Database &db = bench->state.db();
    bench->extraSongs = std::make_unique<ScopedTransaction>(db);
    for (int serial = 1; serial <= kPrefixSongs + 1; ++serial) {
        if (serial == 2500)
            continue;
        db.ExecuteSql(QStringLiteral("INSERT INTO song (song_num, song_kind, song_name, song_text_count, "
                                     "song_singer_code, song_build_date, song_location) VALUES (?, 7, ?, 30, 1, "
                                     "'2026/12/05', '/srv/songs/x.mpg')"),
                      {songNumber(7, 30, serial), QStringLiteral("長歌%1").arg(serial)});
    }
}

// Runs last: the extra songs stay in an open transaction, which the other reads must not pay for.
void Get_NewSongNum_5000InPrefix(benchmark::State &st)
{
    if (!bench->extraSongs)
        fillPrefix();
    QString number;
    for (auto _ : st)
        number = Get_NewSongNum(bench->state.db(), 7, 30);
    if (number != songNumber(7, 30, 2500))
        st.SkipWithError("wrong number");
}

void SingerChoice_OpenOnOneCharacter(benchmark::State &st)
{
    int listed = 0;
    for (auto _ : st) {
        SingerChoiceDialog dialog(SingerChoiceDialog::Variant::song_add_check_singer_name, bench->state,
                                  bench->quiet.services, kScreen);
        dialog.load(QStringLiteral("陳"));
        dialog.show();
        QCoreApplication::processEvents();
        listed = dialog.List1->count();
    }
    st.counters["singers"] = listed;
}

void SongModify_SearchTwoCharacters(benchmark::State &st)
{
    SongModify window(bench->state, bench->quiet.services, kScreen);
    window.show();
    window.keyword_song->setText(QStringLiteral("愛你"));
    for (auto _ : st) {
        window.key_search_Click();
        QCoreApplication::processEvents();
    }
    st.counters["songs"] = window.List1->count();
}

} // namespace

BENCHMARK(SingerChoice_OpenOnOneCharacter)->Unit(benchmark::kMillisecond);
BENCHMARK(SongModify_SearchTwoCharacters)->Unit(benchmark::kMillisecond);
BENCHMARK(Get_NewSongNum_5000InPrefix)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    installScreenFonts();
    benchmark::Initialize(&argc, argv);
    const QString home = QDir::tempPath() + QStringLiteral("/karaoke-bench");
    generateCatalogue(home, 100000, 10000);
    Bench b;
    bench = &b;
    if (!InitSystem(b.state, b.quiet.fs, b.quiet.clock, home).ok)
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    b.extraSongs.reset();
    benchmark::Shutdown();
    return 0;
}
