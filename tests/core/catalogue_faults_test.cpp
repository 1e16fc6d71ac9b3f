// The catalogue after crashes, beside another program's write, and rebuilt or replaced under
// the program: a healthy catalogue is never taken for a broken one, a reader never waits for a
// writer, and what another program did finds its place once the program notices it.
#include "catalogue/singer_records.h"
#include "core/catalogue_file.h"
#include "core/derived_rows.h"
#include "core/catalogue_upkeep.h"
#include "core/database_error.h"
#include "core/lookups.h"
#include "core/scoped_transaction.h"
#include "core/stroke_collation.h"
#include "support/catalogue_fixture.h"

#include <QFile>
#include <QFileInfo>

#include <csignal>
#include <functional>
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

// A child process that commits one change, then changes every song in one transaction with a
// tiny page cache, so the changes spill into the write-ahead log, and is killed before it
// commits: the log stays behind with a committed change and an uncommitted one in it.
void killWriterInTheMiddle(const QString &dbPath)
{
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        close(ready[0]);
        Database db(dbPath);
        db.ExecuteSql(QStringLiteral("UPDATE song SET song_name = '寫完了' WHERE song_num = '100007'"));
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
    catalogue.database().close();
    reader.close();
    killWriterInTheMiddle(state.DbPath);
    ASSERT_GT(QFileInfo(state.DbPath + "-wal").size(), 0) << "the killed writer left its log";

    SharedState restarted;
    const InitResult result = InitSystem(restarted, fileSystem, clock, home.path());
    ASSERT_TRUE(result.ok) << result.problem.toStdString();
    EXPECT_EQ(restarted.db().OpenRecordset(QStringLiteral("SELECT count(*) FROM song WHERE song_name LIKE '原來%'")).value(0).toInt(), kSongs - 1);
    EXPECT_EQ(GetSongName(restarted, QStringLiteral("100042")), QStringLiteral("原來的歌名42"));
    EXPECT_EQ(GetSongName(restarted, QStringLiteral("100007")), QStringLiteral("寫完了")) << "a committed change is kept";
    EXPECT_EQ(restarted.db().OpenRecordset(QStringLiteral("PRAGMA integrity_check")).value(0).toString(), "ok");
}

// With a write-ahead log another program's write keeps nobody from reading; a change of the
// program's own waits for it a moment, then says "busy", which is not "not found".
TEST_F(CatalogueFaults, AnotherProgramsWriteDelaysAChangeButNoReader)
{
    fillCatalogue();
    state.db().close();
    Database other(state.DbPath);
    other.ExecuteSql(QStringLiteral("BEGIN EXCLUSIVE"));
    other.ExecuteSql(QStringLiteral("UPDATE song SET song_name = '還沒寫完' WHERE song_num = '100001'"));

    SharedState starting;
    const InitResult result = InitSystem(starting, fileSystem, clock, home.path());
    EXPECT_TRUE(result.ok) << result.problem.toStdString();

    EXPECT_EQ(GetSongLocation(state, QStringLiteral("100001")), QStringLiteral("/songs/1.mpg"));
    EXPECT_EQ(GetSongName(state, QStringLiteral("100001")), QStringLiteral("原來的歌名1")) << "the change not yet made";
    EXPECT_EQ(AddToOrderList(state, QStringLiteral("100002")), 0);
    EXPECT_TRUE(LoadSongsByKindAndCount(state, 1, 6));
    EXPECT_THROW(insertSinger(state.catalogue(), QStringLiteral("新歌手"), 1), CatalogueBusy);

    other.ExecuteSql(QStringLiteral("COMMIT"));
    EXPECT_EQ(GetSongName(state, QStringLiteral("100001")), QStringLiteral("還沒寫完"));
    EXPECT_GT(insertSinger(state.catalogue(), QStringLiteral("新歌手"), 1), 0);
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM song WHERE song_name LIKE '原來的歌名%'")), kSongs - 1);
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

    // The rebuilt table lost the triggers that keep the program's own tables in step: once the
    // program notices (the schema moved), they are back, and songs added since find their place.
    other.ExecuteSql(QStringLiteral("INSERT INTO song VALUES ('/songs/b.mpg', %1, '新歌', '2026/12/01', 2, 1, '10202')")
                         .arg(singer));
    {
        CatalogueUpkeep upkeep(state.DbPath);
        upkeep.lookNow();
        ASSERT_TRUE(upkeep.flush(10000));
    }
    other.ExecuteSql(QStringLiteral("INSERT INTO song VALUES ('/songs/c.mpg', %1, '一歌', '2026/12/01', 2, 1, '10203')")
                         .arg(singer));
    DerivedRows::makeMissingKeys(state.db(), DerivedRows::Pace::WhileRunning);
    ASSERT_TRUE(LoadSongsByKindAndCount(state, 1, 2));
    QStringList listed;
    for (int i = 0; i < state.SongList.count(); ++i)
        listed.append(state.SongList.row(i).key);
    EXPECT_EQ(listed, QStringList({"10203", "10202", "10201"}));
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

// Keys made by another ICU order some titles otherwise: at start they are all made again.
TEST_F(CatalogueFaults, KeysOfAnotherIcuAreMadeAgainAtStart)
{
    const QStringList stored = {"愛", "天", "晴", "小"};
    for (int i = 0; i < stored.size(); ++i)
        catalogue.addSong(QString::number(10101 + i), 1, stored[i], 0);
    reader.ExecuteSql(QStringLiteral("UPDATE song_order SET title_key = CAST(song_row AS BLOB)"));
    reader.ExecuteSql(QStringLiteral("UPDATE derived_rows_made SET ordering = 'ICU 1.0'"));
    state.db().close();

    ASSERT_TRUE(InitSystem(state, fileSystem, clock, home.path()).ok);
    ASSERT_TRUE(LoadSongsByKindAndCount(state, 1, 1));
    QStringList titles;
    for (int i = 0; i < state.SongList.count(); ++i)
        titles.append(state.SongList.row(i).text);
    EXPECT_EQ(titles, QStringList({"小--找不到", "天--找不到", "晴--找不到", "愛--找不到"}));
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM derived_rows_made WHERE ordering = ?"), {StrokeSortKeys::version()}), 1);
}

} // namespace
