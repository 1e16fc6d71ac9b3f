// The catalogue after crashes, under another program's lock, and replaced under the program:
// a healthy catalogue is never taken for a broken one, and a busy one never for a missing song.
#include "core/catalogue_file.h"
#include "core/database_error.h"
#include "core/lookups.h"
#include "core/scoped_transaction.h"
#include "core/stroke_collation.h"
#include "support/catalogue_fixture.h"

#include <QFile>

#include <sqlite3.h>

#include <csignal>
#include <functional>
#include <cstring>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr int kSongs = 3000;

class CatalogueFaults : public CatalogueFixture
{
protected:
    void fillCatalogue()
    {
        const qint64 singer = catalogue.addSinger(QStringLiteral("歌手"), 1);
        ScopedTransaction many(catalogue.database());
        for (int i = 0; i < kSongs; ++i)
            catalogue.addSong(QString::number(100000 + i), 1, QStringLiteral("原來的歌名%1").arg(i), singer,
                              QStringLiteral("/songs/%1.mpg").arg(i));
        many.commit();
    }
};

// A child process that changes every song in one transaction with a tiny page cache, so the
// changes spill into the file, and is killed before it commits: a hot journal stays behind.
void killWriterInTheMiddle(const QString &dbPath)
{
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        close(ready[0]);
        Database db(dbPath);
        db.ExecuteSql(QStringLiteral("PRAGMA cache_size = 2"));
        db.ExecuteSql(QStringLiteral("BEGIN IMMEDIATE"));
        db.ExecuteSql(QStringLiteral("UPDATE song SET song_name = '寫了一半' || zeroblob(200)"));
        const char done = 1;
        (void)!write(ready[1], &done, 1);
        pause();
        _exit(0);
    }
    close(ready[1]);
    char done = 0;
    ASSERT_EQ(read(ready[0], &done, 1), 1);
    close(ready[0]);
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
}

TEST_F(CatalogueFaults, ACrashDuringAWriteLeavesACatalogueThatStartsWithEveryRow)
{
    fillCatalogue();
    state.db().close();
    killWriterInTheMiddle(state.DbPath);
    ASSERT_TRUE(QFile::exists(state.DbPath + "-journal")) << "the killed writer left its journal";

    SharedState restarted;
    const InitResult result = InitSystem(restarted, fileSystem, clock, home.path());
    ASSERT_TRUE(result.ok) << result.problem.toStdString();
    EXPECT_EQ(restarted.db().OpenRecordset(QStringLiteral("SELECT count(*) FROM song WHERE song_name LIKE '原來%'")).value(0).toInt(), kSongs);
    EXPECT_EQ(GetSongName(restarted, QStringLiteral("100042")), QStringLiteral("原來的歌名42"));
    EXPECT_EQ(restarted.db().OpenRecordset(QStringLiteral("PRAGMA integrity_check")).value(0).toString(), "ok");
}

TEST_F(CatalogueFaults, AnotherProgramsLockDelaysButNeverLosesASong)
{
    fillCatalogue();
    state.db().close();
    Database other(state.DbPath);
    other.ExecuteSql(QStringLiteral("BEGIN EXCLUSIVE"));

    // At start: the file is named as locked, not as broken.
    SharedState starting;
    const InitResult result = InitSystem(starting, fileSystem, clock, home.path());
    EXPECT_FALSE(result.ok);
    EXPECT_TRUE(result.problem.contains(QStringLiteral("另一個程式正在使用"))) << result.problem.toStdString();
    EXPECT_FALSE(result.problem.contains(QStringLiteral("不是點歌資料庫")));

    // While running: a look-up says "busy", which is not "not found", and the queue is unchanged.
    state.OrderedSongs.append({QStringLiteral("100001"), QStringLiteral("原來的歌名1--歌手")});
    EXPECT_THROW(GetSongLocation(state, QStringLiteral("100001")), CatalogueBusy);
    EXPECT_THROW(AddToOrderList(state, QStringLiteral("100002")), CatalogueBusy);
    EXPECT_EQ(state.OrderedSongs.length(), 1);

    other.ExecuteSql(QStringLiteral("COMMIT"));
    EXPECT_EQ(GetSongLocation(state, QStringLiteral("100001")), QStringLiteral("/songs/1.mpg"));
    EXPECT_EQ(AddToOrderList(state, QStringLiteral("100002")), 1);
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM song WHERE song_name LIKE '原來的歌名%'")), kSongs);
}

TEST_F(CatalogueFaults, ACatalogueRebuiltInPlaceWithColumnsInAnotherOrderIsReadByName)
{
    const qint64 singer = catalogue.addSinger(QStringLiteral("歌手"), 1);
    catalogue.addSong(QStringLiteral("10201"), 1, QStringLiteral("舊歌"), singer, QStringLiteral("/songs/a.mpg"));
    ASSERT_EQ(GetSongName(state, QStringLiteral("10201")), QStringLiteral("舊歌")); // statements now prepared
    ASSERT_EQ(AddToOrderList(state, QStringLiteral("10201")), 0);

    // Another program rebuilds the table in the same file, columns reordered.
    Database other(state.DbPath);
    for (const char *sql : {"ALTER TABLE song RENAME TO song_old",
                            "CREATE TABLE song (song_location TEXT, song_singer_code INTEGER, song_name TEXT, "
                            "song_build_date TEXT, song_text_count INTEGER, song_kind INTEGER, song_num TEXT)",
                            "INSERT INTO song SELECT song_location, song_singer_code, song_name, song_build_date, "
                            "song_text_count, song_kind, song_num FROM song_old",
                            "DROP TABLE song_old"})
        other.ExecuteSql(QString::fromUtf8(sql));

    EXPECT_EQ(GetSongName(state, QStringLiteral("10201")), QStringLiteral("舊歌"));
    EXPECT_EQ(GetSongLocation(state, QStringLiteral("10201")), QStringLiteral("/songs/a.mpg"));
    ASSERT_EQ(AddToOrderList(state, QStringLiteral("10201")), 1);
    EXPECT_EQ(state.OrderedSongs.row(1).key, QStringLiteral("10201"));
    EXPECT_EQ(state.OrderedSongs.row(1).text, QStringLiteral("舊歌--歌手"));
    ASSERT_TRUE(LoadSongsByKindAndCount(state, 1, 2));
    EXPECT_EQ(state.SongList.row(0).key, QStringLiteral("10201"));
}

TEST_F(CatalogueFaults, AChangeThatFailsHalfwayLeavesNothingBehindEvenWhenNested)
{
    const qint64 singer = catalogue.addSinger(QStringLiteral("歌手"), 1);
    Database &db = state.db();
    const QString insert = QStringLiteral("INSERT INTO song (song_num, song_name, song_singer_code) VALUES (?, ?, ?)");
    try {
        ScopedTransaction whole(db);
        db.ExecuteSql(insert, {QStringLiteral("10201"), QStringLiteral("一"), singer});
        {
            ScopedTransaction piece(db);
            db.ExecuteSql(insert, {QStringLiteral("10202"), QStringLiteral("二"), singer});
            piece.commit();
        }
        {
            ScopedTransaction failing(db);
            db.ExecuteSql(insert, {QStringLiteral("10203"), QStringLiteral("三"), singer});
            // not committed: only this piece is undone
        }
        EXPECT_EQ(db.OpenRecordset(QStringLiteral("SELECT count(*) FROM song")).value(0).toInt(), 2);
        db.ExecuteSql(QStringLiteral("INSERT INTO nosuchtable VALUES (1)"));
        whole.commit();
    } catch (const DatabaseError &) {
    }
    EXPECT_EQ(db.OpenRecordset(QStringLiteral("SELECT count(*) FROM song")).value(0).toInt(), 0);
}

// Another ICU's order, here the reverse of this one's.
int reverseOrder(void *, int leftSize, const void *left, int rightSize, const void *right)
{
    const int common = std::memcmp(left, right, size_t(qMin(leftSize, rightSize)));
    return common != 0 ? -common : rightSize - leftSize;
}

// Runs sql on the catalogue as another program with another ICU would.
void runElsewhere(const QString &dbPath, const char *sql)
{
    sqlite3 *other = nullptr;
    ASSERT_EQ(sqlite3_open(QFile::encodeName(dbPath).constData(), &other), SQLITE_OK);
    sqlite3_create_collation(other, StrokeCollation::kName, SQLITE_UTF8, nullptr, reverseOrder);
    EXPECT_EQ(sqlite3_exec(other, sql, nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(other);
    sqlite3_close(other);
}

// Indexes in an order that is not this program's would list titles out of order and make
// SQLite miss the rows it deletes ("database disk image is malformed"): they are rebuilt at start.
TEST_F(CatalogueFaults, IndexesOfAnEarlierVersionOrAnotherIcuAreRebuiltInStrokeOrderAtStart)
{
    const QStringList stored = {"愛", "天", "晴", "小"};
    const auto addSongs = [&] {
        CatalogueBuilder builder(state.DbPath);
        for (int i = 0; i < stored.size(); ++i)
            builder.addSong(QString::number(10101 + i), 1, stored[i], 0);
    };
    const struct
    {
        const char *madeBy;
        std::function<void()> make;
    } cases[] = {
        {"version 4", [&] { CatalogueBuilder::createAtVersion(state.DbPath, 4);
                           addSongs(); }},
        {"another ICU", [&] { runElsewhere(state.DbPath, "REINDEX STROKE; UPDATE collation_version SET version = 'ICU 1.0'"); }},
    };
    for (const auto &made : cases) {
        SCOPED_TRACE(made.madeBy);
        state.db().close();
        made.make();
        ASSERT_TRUE(InitSystem(state, fileSystem, clock, home.path()).ok);

        ASSERT_TRUE(LoadSongsByKindAndCount(state, 1, 1));
        QStringList titles;
        for (int i = 0; i < state.SongList.count(); ++i)
            titles.append(state.SongList.row(i).text);
        EXPECT_EQ(titles, QStringList({"小--找不到", "天--找不到", "晴--找不到", "愛--找不到"}));
        EXPECT_EQ(state.db().OpenRecordset(QStringLiteral("PRAGMA integrity_check")).value(0).toString(), "ok");
        EXPECT_EQ(state.db().OpenRecordset(QStringLiteral("SELECT version FROM collation_version")).value(0).toString(),
                  StrokeCollation::version());
        EXPECT_EQ(state.db().OpenRecordset(QStringLiteral("PRAGMA user_version")).value(0).toInt(),
                  CatalogueFile::kSchemaVersion);
    }
    EXPECT_EQ(state.db().ExecuteSql(QStringLiteral("DELETE FROM song WHERE song_name = '晴'")), 1);
}

} // namespace
