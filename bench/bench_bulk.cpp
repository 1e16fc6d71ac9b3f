// Times bulk registration against a catalogue of 100 000 songs and 10 000 singers: scanning
// and checking a folder of 10 000 well-named files, registering them, and validating a list
// file of 10 000 lines.
#include "bulk/batch_validation.h"
#include "bulk/file_name_run.h"
#include "bulk/file_table.h"
#include "bulk/progress.h"
#include "catalogue/local_catalogue.h"
#include "catalogue_generator.h"
#include "core/database.h"
#include "core/init_system.h"
#include "core/shared_state.h"
#include "catalogue/song_numbers.h"
#include "platform/qt_file_system.h"
#include "platform/system_clock.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>
#include <random>

namespace {

constexpr int kFiles = 10000;
// Titles from characters the generated catalogue never uses, so no file meets a similar title.
const QString kNewTitleCharacters = QStringLiteral("甲乙丙丁戊己庚辛壬癸子丑寅卯辰巳午未申酉戌亥");

QString benchHome;
QString folder;
QString listPath;
QtFileSystem fileSystem;
SystemClock systemClock;
SilentProgress quiet;

// Singer names that exist in the catalogue, to name the files with.
QStringList someSingers(Database &db)
{
    QStringList names;
    Recordset rs = db.OpenRecordset(QStringLiteral("SELECT singer_name FROM singer WHERE singer_code % 50 = 0"));
    for (rs.moveFirst(); !rs.eof(); rs.moveNext())
        names.append(rs.value(0).toString());
    return names;
}

void touch(const QString &path)
{
    QFile(path).open(QIODevice::WriteOnly);
}

// Folder new-songs holds 10 000 files named by the grammar; folder list-songs holds 10 000
// files KTV00001.mpg ... and a list naming them by number ("7" finds KTV00007.mpg).
void makeFolderAndList(const QString &dbPath)
{
    folder = benchHome + QStringLiteral("/new-songs");
    const QString listFolder = benchHome + QStringLiteral("/list-songs");
    listPath = listFolder + QStringLiteral("/list.txt");
    if (QFile::exists(listPath))
        return;
    for (const QString &f : {folder, listFolder}) {
        QDir(f).removeRecursively();
        QDir().mkpath(f);
    }
    Database db(dbPath);
    const QStringList singers = someSingers(db);
    std::mt19937 rng(20270101);
    std::uniform_int_distribution<int> length(2, 8);
    std::uniform_int_distribution<int> pick(0, int(kNewTitleCharacters.size()) - 1);
    std::uniform_int_distribution<int> kind(0, 7);
    QByteArray list = "# 10 000 new songs\n";
    for (int i = 0; i < kFiles; ++i) {
        QString title;
        for (int n = length(rng); n > 0; --n)
            title += kNewTitleCharacters[pick(rng)];
        title += QString::number(i);
        const QString singer = singers[i % singers.size()];
        const QString kindName = songKindNameTable()[kind(rng)];
        const QString name = QStringLiteral("%1,%2,%3,%4.mpg").arg(singer, title, kindName).arg(title.size());
        touch(folder + QLatin1Char('/') + name);
        touch(listFolder + QStringLiteral("/KTV%1.mpg").arg(i + 1, 5, 10, QLatin1Char('0')));
        list += QStringLiteral("%1,%2,%3,%4,%5\n").arg(i + 1).arg(title, kindName, singer).arg(title.size()).toUtf8();
    }
    QFile file(listPath);
    file.open(QIODevice::WriteOnly);
    file.write(list);
}

// A copy of the generated catalogue to register into, so every run starts from 100 000 songs;
// the file is its own store.
void freshCatalogue(SharedState &state, const QString &pristine)
{
    static std::unique_ptr<LocalCatalogue> store;
    const QString work = benchHome + QStringLiteral("/work/karaoke.mdb");
    QDir().mkpath(benchHome + QStringLiteral("/work"));
    if (state.database)
        state.db().close();
    for (const char *beside : {"", "-wal", "-shm"})
        QFile::remove(work + QLatin1String(beside));
    QFile::copy(pristine, work);
    const InitResult init = InitSystem(state, fileSystem, systemClock, benchHome + QStringLiteral("/work"));
    if (!init.ok)
        qFatal("%s", qPrintable(init.problem));
    store = std::make_unique<LocalCatalogue>(state.db());
    state.catalogueStore = store.get();
}

GeneratedCatalogue catalogue;

void ScanAndCheckFolder(benchmark::State &st)
{
    SharedState state;
    freshCatalogue(state, catalogue.dbPath);
    for (auto _ : st) {
        FileTable table(state, fileSystem);
        table.scan(folder, quiet);
        benchmark::DoNotOptimize(table.firstUnconfirmed());
        st.counters["rows"] = table.size();
        st.counters["confirmed"] = table.size() - int(std::count_if(table.rows().begin(), table.rows().end(),
                                                                       [](const FileRow &r) { return !r.confirmed; }));
    }
}

void RegisterFolder(benchmark::State &st)
{
    SharedState state;
    for (auto _ : st) {
        st.PauseTiming();
        freshCatalogue(state, catalogue.dbPath);
        FileTable table(state, fileSystem);
        table.scan(folder, quiet);
        st.ResumeTiming();
        const RunOutcome outcome =
            registerFileRows(state, fileSystem, table, QStringLiteral("2027/01/01"), RowsTaken::All, quiet);
        st.counters["songs"] = outcome.songsWritten;
    }
}

void ValidateList(benchmark::State &st)
{
    for (auto _ : st) {
        const BatchCheck check = validateListFile(fileSystem, songKindNameTable(), listPath, quiet);
        st.counters["lines"] = double(check.songs.size());
        if (!check.ok())
            st.SkipWithError(check.message.toUtf8().constData());
    }
}

// One song number for the busiest kind and count (about 2 000 songs share the prefix): the
// registration run asks for one per song.
void NewSongNumberBusyPrefix(benchmark::State &st)
{
    SharedState state;
    freshCatalogue(state, catalogue.dbPath);
    for (auto _ : st)
        benchmark::DoNotOptimize(Get_NewSongNum(state.db(), 1, 4));
}

} // namespace

BENCHMARK(NewSongNumberBusyPrefix)->Unit(benchmark::kMicrosecond);
BENCHMARK(ScanAndCheckFolder)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(RegisterFolder)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(ValidateList)->Unit(benchmark::kMillisecond)->Iterations(5);

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchHome = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::tempPath() + QStringLiteral("/karaoke-bench");
    catalogue = generateCatalogue(benchHome, 100000, 10000);
    makeFolderAndList(catalogue.dbPath);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
