// The catalogue file at start and the look-ups the menus use, on real SQLite files.
#include "core/catalogue_file.h"
#include "core/database_error.h"
#include "core/lookups.h"
#include "core/scoped_transaction.h"
#include "support/catalogue_fixture.h"
#include "support/default_vfs.h"
#include "support/qt_printers.h"
#include "support/small_disk.h"

#include <sqlite3.h>

#include <QDir>
#include <QFile>

#include <functional>
#include <map>
#include <memory>

namespace {

class Catalogue : public CatalogueFixture
{
protected:
    QStringList songTexts() const
    {
        QStringList texts;
        for (int i = 0; i < state.SongList.count(); ++i)
            texts.append(state.SongList.row(i).text);
        return texts;
    }
};

// The file and the log and journal SQLite keeps beside it, as they are on the disk, and whether
// the log's index is there (readers mark in it what they read).
QList<QByteArray> filesOf(const TempHome &home)
{
    QList<QByteArray> files;
    for (const char *name : {"karaoke.mdb", "karaoke.mdb-wal", "karaoke.mdb-journal"}) {
        const QString path = home.file(QString::fromLatin1(name));
        files.append(QFile::exists(path) ? name + QByteArray(":") + home.read(QString::fromLatin1(name)) : QByteArray());
    }
    files.append(QFile::exists(home.file("karaoke.mdb-shm")) ? "index" : "");
    return files;
}

// Another program's SQLite file kept in write-ahead-log mode, still open in that program with
// a change in its log.
struct OpenWalFile
{
    explicit OpenWalFile(const QString &path)
        : db(path)
    {
        db.ExecuteSql(QStringLiteral("PRAGMA journal_mode = WAL"));
        db.ExecuteSql(QStringLiteral("CREATE TABLE other (x INTEGER)"));
        db.ExecuteSql(QStringLiteral("INSERT INTO other VALUES (1)"));
    }
    Database db;
};

// A catalogue of a newer program: this one must not write a byte of it, not even the mark of
// the write-ahead log in its header.
void makeNewerCatalogue(const QString &path, bool withLog)
{
    CatalogueBuilder::createAtVersion(path, CatalogueFile::kSchemaVersion);
    Database db(path);
    db.ExecuteSql(QStringLiteral("PRAGMA user_version = %1").arg(CatalogueFile::kSchemaVersion + 1));
    if (withLog)
        db.ExecuteSql(QStringLiteral("PRAGMA journal_mode = WAL"));
}

TEST(CatalogueStartUp, AFileThatIsNotACatalogueOfThisProgramStopsStartUpAndIsLeftUntouched)
{
    QByteArray random(4096, '\0');
    for (int i = 0; i < random.size(); ++i)
        random[i] = char((i * 7919 + 13) % 251);

    TempHome noTables;
    noTables.write("karaoke.mdb", "");
    Database(noTables.file("karaoke.mdb")).ExecuteSql(QStringLiteral("CREATE TABLE other (x INTEGER)"));
    TempHome walFile;
    walFile.write("karaoke.mdb", "");
    const OpenWalFile openElsewhere(walFile.file("karaoke.mdb"));
    TempHome randomBytes;
    randomBytes.write("karaoke.mdb", random);
    TempHome empty;
    empty.write("karaoke.mdb", "");
    TempHome newer;
    makeNewerCatalogue(newer.file("karaoke.mdb"), false);
    TempHome newerWithLog;
    makeNewerCatalogue(newerWithLog.file("karaoke.mdb"), true);

    FakePlatform platform;
    for (const TempHome *home : {&randomBytes, &noTables, &walFile, &empty, &newer, &newerWithLog}) {
        const QList<QByteArray> before = filesOf(*home);
        SharedState state;
        const InitResult result = InitSystem(state, platform.fileSystem, platform.clock, home->path());
        EXPECT_FALSE(result.ok);
        EXPECT_TRUE(result.problem.contains(home->file("karaoke.mdb"))) << result.problem.toStdString();
        EXPECT_TRUE(result.problem.contains("不是點歌資料庫")) << result.problem.toStdString();
        state.database.reset();
        EXPECT_TRUE(filesOf(*home) == before) << "changed: " << result.problem.toStdString();
    }
    EXPECT_TRUE(InitSystem(*std::make_unique<SharedState>(), platform.fileSystem, platform.clock, newer.path())
                    .problem.contains(QStringLiteral("資料庫版本 %1").arg(CatalogueFile::kSchemaVersion + 1)));
    SharedState state;
    const InitResult result = InitSystem(state, platform.fileSystem, platform.clock, "/nonexistent/karaoke-home");
    EXPECT_FALSE(result.ok);
    EXPECT_TRUE(result.problem.contains("/nonexistent/karaoke-home")) << "a missing program folder is named";
}

// A file system without shared memory, as some network file systems are: SQLite's own unix
// files, whose index of the write-ahead log cannot be mapped. The default while it lives.
class NoSharedMemory : private DefaultVfs
{
public:
    NoSharedMemory() : DefaultVfs("no-shared-memory")
    {
        vfs().xOpen = open;
        makeDefault();
    }

private:
    // The unix file as it is, but for the shared memory it cannot map.
    static int open(sqlite3_vfs *, sqlite3_filename name, sqlite3_file *file, int flags, int *outFlags)
    {
        const int rc = ownFiles()->xOpen(ownFiles(), name, file, flags, outFlags);
        if (rc == SQLITE_OK && file->pMethods) {
            std::unique_ptr<sqlite3_io_methods> &methods = s_methods[file->pMethods];
            if (!methods) {
                methods = std::make_unique<sqlite3_io_methods>(*file->pMethods);
                methods->xShmMap = [](sqlite3_file *, int, int, int, void volatile **) { return SQLITE_IOERR_SHMMAP; };
            }
            file->pMethods = methods.get();
        }
        return rc;
    }

    static inline std::map<const sqlite3_io_methods *, std::unique_ptr<sqlite3_io_methods>> s_methods;
};

// A catalogue that cannot be shared between connections (its folder cannot be written, or its
// file system has no shared memory) is refused with a clear message and left byte for byte,
// with nothing made beside it.
TEST(CatalogueStartUp, ACatalogueThatCannotBeSharedIsRefusedWithAClearMessageAndLeftUsable)
{
    FakePlatform platform;
    SmallDisk disk;
    if (!disk.mounted())
        GTEST_SKIP() << disk.whyNot().toStdString();
    const QString onDisk = disk.file(QStringLiteral("karaoke.mdb"));
    TempHome olderCatalogue;
    CatalogueBuilder::createAtVersion(olderCatalogue.file("karaoke.mdb"), 8, [](Database &db) {
        db.ExecuteSql(QStringLiteral("INSERT INTO song (song_num, song_name) VALUES ('10101', '甲')"));
    });
    {
        SharedState state;
        ASSERT_TRUE(InitSystem(state, platform.fileSystem, platform.clock, disk.path()).ok);
        CatalogueBuilder(onDisk).addSong(QStringLiteral("10101"), 1, QStringLiteral("甲"), 0);
    }
    const struct
    {
        const char *where;
        QString folder;
        QString said;
        std::function<std::unique_ptr<NoSharedMemory>()> prepare;
    } cases[] = {
        {"a folder that cannot be written", disk.path(), QStringLiteral("所在的資料夾無法寫入"),
         [&] {
             EXPECT_TRUE(disk.makeReadOnly());
             return std::unique_ptr<NoSharedMemory>();
         }},
        {"a file system without shared memory", olderCatalogue.path(), QStringLiteral("不支援共用記憶體"),
         [] { return std::make_unique<NoSharedMemory>(); }},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.where);
        const QStringList before = QDir(c.folder).entryList({QStringLiteral("karaoke.mdb*")}, QDir::Files);
        QFile file(c.folder + QStringLiteral("/karaoke.mdb"));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        const auto fileSystem = c.prepare();
        SharedState state;
        const InitResult result = InitSystem(state, platform.fileSystem, platform.clock, c.folder);
        EXPECT_FALSE(result.ok);
        EXPECT_TRUE(result.problem.contains(c.said)) << result.problem.toStdString();
        EXPECT_TRUE(result.problem.contains(QStringLiteral("檔案沒有被更動"))) << result.problem.toStdString();
        file.seek(0);
        EXPECT_TRUE(file.readAll() == bytes);
        EXPECT_EQ(QDir(c.folder).entryList({QStringLiteral("karaoke.mdb*")}, QDir::Files), before);
    }
    EXPECT_EQ(Database(olderCatalogue.file("karaoke.mdb")).OpenRecordset(QStringLiteral("PRAGMA user_version")).value(0).toInt(), 8)
        << "not upgraded where it could not be shared";
    EXPECT_EQ(olderCatalogue.read("karaoke.mdb").at(18), 1) << "still kept with a rollback journal, as before";
}

TEST_F(Catalogue, StartingAgainLeavesCatalogueAndQueueAsTheyWere)
{
    const qint64 singer = catalogue.addSinger("鄧麗君", 0);
    catalogue.addSong("10501", 1, "月亮代表我的心", singer);
    ASSERT_GE(AddToOrderList(state, "10501"), 0);
    state.SoundChannel = 3;
    const QByteArray before = home.read("karaoke.mdb");
    state.db().close();

    ASSERT_TRUE(InitSystem(state, fileSystem, clock, home.path()).ok);
    state.db().close();
    EXPECT_TRUE(home.read("karaoke.mdb") == before);
    EXPECT_EQ(state.OrderedSongs.length(), 1);
    EXPECT_EQ(state.SoundChannel, 3);
}

TEST_F(Catalogue, LookUpsGiveTheFieldOrTheNotFoundTextAndTheQueueRefusesWhenFull)
{
    const qint64 singer = catalogue.addSinger("O'Brien 100%_\"合唱\"", 2);
    catalogue.addSong("1'05%_01", 3, "Don't \"Stop\" 100%_", singer, "/媒體/it's a song.mpg");

    EXPECT_EQ(GetSingerName(state, singer), "O'Brien 100%_\"合唱\"");
    EXPECT_EQ(GetSingerName(state, 9999), "找不到");
    EXPECT_EQ(GetSongName(state, "1'05%_01"), "Don't \"Stop\" 100%_");
    EXPECT_EQ(GetSongLocation(state, "1'05%_01"), "/媒體/it's a song.mpg");
    EXPECT_EQ(GetSongName(state, "99999"), "找不到99999");
    EXPECT_EQ(GetSongLocation(state, "1_05%_01"), "找不到1_05%_01") << "_ and % are not patterns";
    EXPECT_EQ(SongKindCode(state, "粵語"), 7);
    EXPECT_EQ(SongKindCode(state, "火星語"), -1);

    // The queue appends found songs and refuses when full.
    const qint64 s = catalogue.addSinger("張學友", 1);
    catalogue.addSong("7'01", 7, "吻別", s);
    EXPECT_EQ(AddToOrderList(state, "7'01"), 0);
    EXPECT_EQ(AddToOrderList(state, "7'01"), 1) << "a song may be queued twice";
    EXPECT_EQ(state.OrderedSongs.row(1).text, "吻別--張學友");
    EXPECT_EQ(AddToOrderList(state, "nope"), kSongNotFound);
    EXPECT_EQ(state.OrderedSongs.length(), 2);

    while (!state.OrderedSongs.isFull())
        state.OrderedSongs.append({"7'01", "吻別--張學友"});
    EXPECT_EQ(AddToOrderList(state, "7'01"), kQueueFull);
    EXPECT_EQ(state.OrderedSongs.length(), 5001);
}

TEST_F(Catalogue, ListsOfSongsByKindAndCountOrBySingerAndOfSingersBySex)
{
    const qint64 a = catalogue.addSinger("周杰倫", 1);
    catalogue.addSong("10301", 1, "稻香歌", a);
    catalogue.addSong("10302", 1, "七里香", a);
    catalogue.addSong("10303", 1, "晴天雨", 404); // singer row missing
    catalogue.addSong("00301", 0, "台語歌", a);

    ASSERT_TRUE(LoadSongsByKindAndCount(state, 1, 3));
    EXPECT_EQ(songTexts(), QStringList({"七里香--周杰倫", "晴天雨--找不到", "稻香歌--周杰倫"}));
    EXPECT_EQ(state.SongList.row(0).key, "10302");

    EXPECT_TRUE(LoadSongsByKindAndCount(state, 0, 3));
    EXPECT_EQ(state.SongList.count(), 1) << "a shorter second load leaves nothing of the first";
    EXPECT_TRUE(state.SongList.row(1).isEmpty());
    EXPECT_FALSE(LoadSongsByKindAndCount(state, 7, 3));
    EXPECT_EQ(state.SongList.count(), 0);

    // Singers by sex, and songs by singer.
    const qint64 f = catalogue.addSinger("蔡依林", 0);
    catalogue.addSinger("王菲", 0);
    catalogue.addSinger("五月天", 2);
    catalogue.addSong("10401", 1, "日不落嗎", f);
    catalogue.addSong("10201", 1, "倒帶", f);
    catalogue.addSong("10202", 1, "說愛你", f);

    ASSERT_TRUE(LoadSingersBySex(state, 0));
    EXPECT_EQ(state.SingerList.count(), 2);
    EXPECT_EQ(state.SingerList.row(0).text, "王菲");
    EXPECT_EQ(state.SingerList.row(1).text, "蔡依林");
    EXPECT_EQ(state.SingerList.row(1).key, QString::number(f));
    EXPECT_TRUE(LoadSingersBySex(state, 2));
    EXPECT_EQ(state.SingerList.row(0).text, "五月天");
    EXPECT_FALSE(LoadSingersBySex(state, 5));
    EXPECT_TRUE(state.SingerList.row(0).isEmpty());

    ASSERT_TRUE(LoadSongsBySinger(state, f));
    EXPECT_EQ(songTexts(), QStringList({"倒帶", "說愛你", "日不落嗎"}));
    EXPECT_FALSE(LoadSongsBySinger(state, 4242));

    // Lists keep only what their tables hold.
    const qint64 s = catalogue.addSinger("多產歌手", 1);
    ScopedTransaction many(catalogue.database());
    for (int i = 0; i < 1600; ++i)
        catalogue.addSong(QString::number(10300000 + i), 1, QStringLiteral("歌%1").arg(i % 10) + "x", s);
    many.commit();
    ASSERT_TRUE(LoadSongsByKindAndCount(state, 1, 3));
    EXPECT_EQ(state.SongList.count(), 1501);
    EXPECT_TRUE(state.SongList.row(1501).isEmpty());
}

TEST_F(Catalogue, FailingStatementsThrowAndNameTheStatement)
{
    try {
        state.db().OpenRecordset(QStringLiteral("SELECT * FROM nosuchtable"));
        FAIL() << "expected DatabaseError";
    } catch (const DatabaseError &e) {
        EXPECT_TRUE(e.message().contains("nosuchtable"));
    }
    Database missing(home.file("missing.mdb"));
    EXPECT_THROW(missing.ExecuteSql(QStringLiteral("SELECT 1")), DatabaseError);
    EXPECT_FALSE(QFile::exists(home.file("missing.mdb"))) << "a missing catalogue is not created by a query";
}

TEST_F(Catalogue, ALookUpLeavesNoLockOnTheCatalogueAndSeesAChangeBeingMade)
{
    const qint64 s = catalogue.addSinger("歌手", 1);
    for (int i = 0; i < 5; ++i)
        catalogue.addSong(QString::number(10200 + i), 1, "歌名", s);
    EXPECT_EQ(GetSongName(state, "10200"), "歌名"); // reads one row of several: stops early
    ASSERT_TRUE(LoadSongsBySinger(state, s));

    Database other(state.DbPath);
    other.setBusyWait(100);
    EXPECT_NO_THROW(other.ExecuteSql(QStringLiteral("UPDATE song SET song_name = '新歌名'")))
        << "another program can still write";
    EXPECT_EQ(GetSongName(state, "10200"), "新歌名");

    // Look-ups work inside a change being made, and see it.
    {
        ScopedTransaction change(state.db());
        state.db().ExecuteSql(QStringLiteral("INSERT INTO song (song_num, song_kind, song_name, song_text_count, "
                                             "song_singer_code) VALUES ('10301', 1, '新的歌名', 4, ?)"),
                              {s});
        EXPECT_EQ(AddToOrderList(state, "10301"), 0) << "a read inside a change sees the change";
        EXPECT_TRUE(LoadSongsByKindAndCount(state, 1, 4));
        // not committed: rolled back
    }
    EXPECT_EQ(GetSongName(state, "10301"), "找不到10301");
    EXPECT_EQ(AddToOrderList(state, "10301"), kSongNotFound);
}

TEST_F(Catalogue, AWalkOverRowsOutlastsTheQueriesAskedDuringItAndTheFileBeingReplaced)
{
    // A whole copy of the empty catalogue, as a backup program makes one.
    reader.ExecuteSql(QStringLiteral("VACUUM INTO ?"), {home.file("empty.mdb")});
    const qint64 s = catalogue.addSinger("歌手", 1);
    QStringList numbers;
    for (int i = 0; i < 5; ++i) {
        numbers.append(QString::number(10300 + i));
        catalogue.addSong(numbers.last(), 1, "歌名", s);
    }

    QStringList walked;
    state.db().forEachRow(QStringLiteral("SELECT song_num FROM song ORDER BY song_num"), {}, [&](const RowView &row) {
        walked.append(row.text(0));
        // More distinct statements than the connection keeps prepared.
        for (int i = 0; i < 300; ++i)
            state.db().OpenRecordset(QStringLiteral("SELECT %1 FROM song LIMIT 1").arg(i));
        if (walked.size() == 2) { // another program puts an empty catalogue in its place, log and all
            for (const char *beside : {"", "-wal", "-shm"})
                QFile::remove(state.DbPath + QLatin1String(beside));
            QFile::rename(home.file("empty.mdb"), state.DbPath);
            state.db().OpenRecordset(QStringLiteral("SELECT count(*) FROM song"));
        }
        return true;
    });

    EXPECT_EQ(walked, numbers);
    EXPECT_EQ(state.db().OpenRecordset(QStringLiteral("SELECT count(*) FROM song")).value(0).toInt(), 0)
        << "the walk over, the new file is read";
}

TEST(MediaFileTypes, ExtensionListsDecideByMenuState)
{
    SharedState state;
    EXPECT_TRUE(IsMovieFile(state, "clip.MPG"));
    EXPECT_FALSE(IsMovieFile(state, "song.mp3"));
    EXPECT_TRUE(IsMenuMediaFile(state, "8_1_2", "a.b.Wav"));
    EXPECT_TRUE(IsMenuMediaFile(state, "8_2", "photo.JPG"));
    EXPECT_TRUE(IsMenuMediaFile(state, "8_2", "movie.dat "));
    EXPECT_FALSE(IsMenuMediaFile(state, "7", "a.wav"));
    EXPECT_FALSE(IsMenuMediaFile(state, "8", "a.wav"));
    state.settings.ExtMusic = " MP3 , ogg";
    EXPECT_TRUE(IsMenuMediaFile(state, "8_1", "x.Ogg"));
    EXPECT_TRUE(IsMenuMediaFile(state, "8_1", "mp3")) << "a name without a dot is its own extension";
}

} // namespace
