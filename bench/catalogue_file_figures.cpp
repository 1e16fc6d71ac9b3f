#include "catalogue_file_figures.h"

#include "core/catalogue_file.h"
#include "core/database.h"
#include "core/database_error.h"
#include "core/lookups.h"
#include "core/queue_writer.h"
#include "core/shared_state.h"

#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <ctime>
#include <cstdio>
#include <vector>

namespace {

// A copy of the catalogue in a folder of its own, as the file holds it now, kept with the
// journal named (WAL, or DELETE as the catalogue was kept before). Its schema version is not
// the original's: the program's first start on it makes the derived rows anew.
QString copyOf(const QString &dbPath, const QTemporaryDir &dir, const QString &journal = QStringLiteral("WAL"))
{
    const QString copy = dir.filePath(QStringLiteral("karaoke.mdb"));
    Database(dbPath, Database::Access::ReadOnly).ExecuteSql(QStringLiteral("VACUUM INTO ?"), {copy});
    Database(copy).ExecuteSql(QStringLiteral("PRAGMA journal_mode = ") + journal);
    return copy;
}

// How long a start on the file at path takes, wall and CPU.
std::pair<double, double> timedStart(const QString &path)
{
    Database db(path);
    QString problem;
    QElapsedTimer timer;
    timer.start();
    const std::clock_t cpu = std::clock();
    if (!CatalogueFile::openOrCreate(db, &problem))
        std::printf("start failed: %s\n", qPrintable(problem));
    CatalogueFile::closeCleanly(db);
    return {double(timer.nsecsElapsed()) / 1e9, double(std::clock() - cpu) / CLOCKS_PER_SEC};
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

struct OrderTimes
{
    std::vector<double> lookUpMs;
    std::vector<double> toDiskMs;
    int kept = 0;
};

// Orders n songs while another connection holds a read transaction over every song.
OrderTimes orderBesideLongReader(const QString &dbPath, int n, int waitMs)
{
    SharedState state;
    state.DbPath = dbPath;
    state.openCatalogue();
    Database longRead(state.DbPath);
    longRead.ExecuteSql(QStringLiteral("BEGIN"));
    int read = 0;
    longRead.forEachRow(QStringLiteral("SELECT song_num, song_name FROM song"), {}, [&read](const RowView &) {
        ++read;
        return true;
    });
    std::vector<QString> numbers;
    state.db().forEachRow(QStringLiteral("SELECT song_num FROM song WHERE rowid % 997 = 0"), {}, [&](const RowView &row) {
        numbers.push_back(row.text(0));
        return true;
    });
    OrderTimes times;
    {
        QueueWriter writer(state.DbPath, std::vector<QueueRow>{});
        const auto keep = state.OrderedSongs.subscribe([&] { writer.save(state.OrderedSongs); });
        for (int i = 0; i < n; ++i) {
            QElapsedTimer timer;
            timer.start();
            try {
                if (i % 2 == 0)
                    AddToOrderList(state, numbers[size_t(i) % numbers.size()]);
                else
                    AddToOrderList(state, numbers[size_t(i) % numbers.size()], Orderer{QStringLiteral("客人"), QStringLiteral("phone")});
            } catch (const DatabaseError &) {
                // a look-up that met the file busy: the order is lost, counted below
            }
            times.lookUpMs.push_back(double(timer.nsecsElapsed()) / 1e6);
            writer.flush(waitMs);
            times.toDiskMs.push_back(double(timer.nsecsElapsed()) / 1e6);
        }
        Database counter(state.DbPath);
        counter.setBusyWait(0);
        try {
            times.kept = counter.OpenRecordset(QStringLiteral("SELECT count(*) FROM play_queue")).value(0).toInt();
        } catch (const DatabaseError &) {
        }
        longRead.ExecuteSql(QStringLiteral("COMMIT"));
        state.OrderedSongs.clear();
    }
    return times;
}

} // namespace

void printOpening(const QString &dbPath)
{
    QTemporaryDir dir;
    const QString copy = copyOf(dbPath, dir);
    const double remakeSeconds = timedStart(copy).first;
    std::vector<double> ms;
    for (int run = 0; run < 21; ++run)
        ms.push_back(timedStart(copy).first * 1e3);
    std::printf("\nopening the unchanged catalogue at start (and closing it): median %.2f ms, worst %.2f ms\n", median(ms),
                *std::max_element(ms.begin(), ms.end()));
    std::printf("the first start after another tool vacuumed the file (every derived row made anew): %.2f s\n",
                remakeSeconds);
}

void printKeyFilling(const QString &dbPath)
{
    std::vector<double> seconds;
    std::vector<double> cpuSeconds;
    int songs = 0;
    for (int run = 0; run < 3; ++run) {
        QTemporaryDir dir;
        const QString copy = copyOf(dbPath, dir);
        timedStart(copy);
        {
            // Every row as another program leaves it: in the lists' tables, without a key.
            Database other(copy);
            other.ExecuteSql(QStringLiteral("UPDATE song_order SET title_key = NULL"));
            other.ExecuteSql(QStringLiteral("UPDATE singer_order SET name_key = NULL"));
            songs = other.OpenRecordset(QStringLiteral("SELECT count(*) FROM song_order")).value(0).toInt();
        }
        const auto [wall, cpu] = timedStart(copy);
        seconds.push_back(wall);
        cpuSeconds.push_back(cpu);
    }
    std::printf("start on %d songs and their singers written by another program, every key made: median %.2f s, "
                "worst %.2f s, CPU median %.2f s (target 2 s)\n",
                songs, median(seconds), *std::max_element(seconds.begin(), seconds.end()), median(cpuSeconds));
}

void printOrdersBesideALongReader(const QString &dbPath)
{
    QTemporaryDir dir;
    const OrderTimes wal = orderBesideLongReader(copyOf(dbPath, dir), 100, 5000);
    std::printf("\n100 orders beside a reader holding every song: look-up median %.2f ms, worst %.2f ms; on the disk "
                "median %.2f ms, worst %.2f ms; %d of 100 kept (target: none waits more than 50 ms)\n",
                median(wal.lookUpMs), *std::max_element(wal.lookUpMs.begin(), wal.lookUpMs.end()), median(wal.toDiskMs),
                *std::max_element(wal.toDiskMs.begin(), wal.toDiskMs.end()), wal.kept);

    // The same with a rollback journal, as the catalogue was kept before.
    QTemporaryDir before;
    const OrderTimes rollback = orderBesideLongReader(copyOf(dbPath, before, QStringLiteral("DELETE")), 2, 5000);
    std::printf("the same with a rollback journal: on the disk %.0f ms and %.0f ms, %d of 2 kept\n", rollback.toDiskMs[0],
                rollback.toDiskMs[1], rollback.kept);
}
