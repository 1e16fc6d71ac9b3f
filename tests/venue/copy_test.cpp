// A room's copy and the venue's store on a real PostgreSQL server, in one process: the changes
// of manager mode and of measuring, starting a venue, the media folder's mount in each room,
// and the refusals.
#include "venue_fixture.h"

#include "catalogue/singer_records.h"
#include "catalogue/song_loudness.h"
#include "catalogue/song_records.h"
#include "catalogue/song_registration.h"
#include "core/catalogue_file.h"
#include "core/settings_file.h"
#include "platform/qt_file_system.h"
#include "support/catalogue_builder.h"
#include "venue/catalogue_transfer.h"
#include "venue/replica_sync.h"
#include "venue/server_connection.h"
#include "venue/server_schema.h"
#include "venue/venue_room.h"

#include <QRegularExpression>

#include <mutex>


TEST(VenueCopy, managerChangesAreInTheCopyWhenTheCallReturnsAndReachOtherRoomsUnderTheirOwnMount)
{
    REQUIRE_SERVER();
    const QString url = testServer().url(testServer().newDatabase());
    TempHome shared;
    LocalRoom writer(url, shared.path());
    LocalRoom other(url, QStringLiteral("/mnt/songs"));
    CatalogueStore &store = writer.venue->store();
    QtFileSystem fs;
    pushCatalogue(*writer.venue, writer.db, false); // a new venue, its catalogue empty
    QFile(shared.file(QStringLiteral("a.mpg"))).open(QIODevice::WriteOnly);

    const qint64 singer = insertSinger(store, QStringLiteral("周杰倫"), 1);
    const NewSong song{1, 2, QStringLiteral("晴天"), {singer}, QStringLiteral("2024/01/02"), shared.file(QStringLiteral("a.mpg"))};
    const Registration first = registerSong(store, fs, writer.home.path(), song);
    const Registration second = registerSong(store, fs, writer.home.path(), song, {{}, first.number, nullptr});
    EXPECT_EQ(first.number, QStringLiteral("102001"));
    EXPECT_EQ(second.number, QStringLiteral("102002")) << "a number shown but taken is not given twice";
    EXPECT_EQ(writer.count(QStringLiteral("SELECT count(*) FROM song")), 2);
    renameSong(store, first.number, QStringLiteral("晴天2"));
    updateSinger(store, singer, QStringLiteral("周董"), 1);
    deleteSong(store, second.number);
    EXPECT_EQ(writer.text(QStringLiteral("SELECT song_name || '/' || singer_name FROM song JOIN singer "
                                          "ON singer_code = song_singer_code")),
              QStringLiteral("晴天2/周董"));

    ServerConnection server(url);
    const RoomCopy::Applied applied = other.venue->copy().catchUp(server);
    EXPECT_TRUE(applied.whole) << "an empty room copies the venue's catalogue";
    EXPECT_EQ(other.text(QStringLiteral("SELECT song_num || ' ' || song_name || ' ' || song_location FROM song")),
              QStringLiteral("102001 晴天2 /mnt/songs/a.mpg"));
    EXPECT_EQ(other.count(QStringLiteral("SELECT count(*) FROM singer")), 1);

    // Loudness measured in one room plays in every room, for the file it was measured from.
    const SongLoudness measured{{ChannelLoudness{-21, -2}, std::nullopt, ChannelLoudness{-23, -5}}};
    storeLoudness(store, {0, first.number, shared.file(QStringLiteral("a.mpg")), {}}, measured);
    other.venue->copy().catchUp(server);
    ASSERT_TRUE(findLoudness(other.db, first.number));
    EXPECT_EQ(findLoudness(other.db, first.number)->channels[2]->lufs, -23);
    EXPECT_FALSE(findLoudness(other.db, first.number)->channels[1]);
    SongRecord moved = *findSong(writer.db, first.number);
    moved.song_location = shared.file(QStringLiteral("b.mpg"));
    updateSong(store, moved);
    other.venue->copy().catchUp(server);
    EXPECT_FALSE(findLoudness(other.db, first.number)) << "a song given another file is measured again";
    EXPECT_FALSE(findLoudness(writer.db, first.number));
    EXPECT_EQ(songsToMeasure(other.db, other.home.path(), 0, 5).size(), 1);

    deleteSinger(store, singer);
    EXPECT_EQ(other.venue->copy().catchUp(server).removed, 1);
    EXPECT_EQ(other.count(QStringLiteral("SELECT count(*) FROM singer")), 0);
    EXPECT_EQ(other.venue->copy().catchUp(server).removed, 0) << "a change is applied once";
}

TEST(VenueCopy, startingAVenuePushesOneRoomsCatalogueAndRefusesToOverwriteAnotherUnlessTold)
{
    REQUIRE_SERVER();
    const QString url = testServer().url(testServer().newDatabase());
    LocalRoom first(url, {});
    LocalRoom second(url, {});
    CatalogueBuilder(first.db.path()).addSong(QStringLiteral("102001"), 1, QStringLiteral("晴天"),
                                              CatalogueBuilder(first.db.path()).addSinger(QStringLiteral("甲"), 0),
                                              QStringLiteral("/songs/a.mpg"));
    CatalogueBuilder(second.db.path()).addSinger(QStringLiteral("乙"), 1);

    ServerConnection server(url);
    EXPECT_THROW(insertSinger(second.venue->store(), QStringLiteral("丁"), 0), CatalogueRefused)
        << "a room makes no catalogue on a server";
    EXPECT_EQ(testServer().sql(url.section(QLatin1Char('/'), -1), QStringLiteral("SELECT to_regclass('song') IS NULL")),
              QStringLiteral("t"));
    EXPECT_TRUE(pushCatalogue(*first.venue, first.db, false).contains(QStringLiteral("1 筆曲目")));
    EXPECT_THROW(second.venue->copy().catchUp(server), CatalogueRefused) << "a room's own catalogue is not overwritten";
    EXPECT_THROW(insertSinger(second.venue->store(), QStringLiteral("丁"), 0), CatalogueRefused) << "nor written to the server";
    EXPECT_EQ(second.count(QStringLiteral("SELECT count(*) FROM singer")), 1);
    EXPECT_THROW(pushCatalogue(*second.venue, second.db, false), DatabaseError);
    EXPECT_TRUE(pullCatalogue(*second.venue).contains(QStringLiteral("1 筆曲目")));
    EXPECT_EQ(second.text(QStringLiteral("SELECT song_name FROM song")), QStringLiteral("晴天"));

    CatalogueBuilder(first.db.path()).addSinger(QStringLiteral("丙"), 2); // the first room's own change
    pushCatalogue(*first.venue, first.db, true);
    EXPECT_THROW(second.venue->copy().catchUp(server), CatalogueRefused) << "a replaced catalogue is the owner's to pull";
    EXPECT_EQ(second.count(QStringLiteral("SELECT count(*) FROM singer")), 1);
    pullCatalogue(*second.venue);
    EXPECT_EQ(second.count(QStringLiteral("SELECT count(*) FROM singer")), 2);

    // The server's counters go on from the pushed rows: new rows take the next codes and ids.
    const qint64 singer = insertSinger(second.venue->store(), QStringLiteral("戊"), 0);
    EXPECT_EQ(singer, 3) << "codes 1 and 2 came with the push";
    QtFileSystem fs;
    QFile(second.home.file(QStringLiteral("b.mpg"))).open(QIODevice::WriteOnly);
    const Registration added = registerSong(second.venue->store(), fs, second.home.path(),
                                            {1, 2, QStringLiteral("雨天"), {singer}, QStringLiteral("2024/01/02"),
                                             second.home.file(QStringLiteral("b.mpg"))});
    EXPECT_EQ(added.result, Registration::Result::Registered);
    EXPECT_EQ(second.count(QStringLiteral("SELECT max(rowid) FROM song")), 2);
    first.venue->copy().catchUp(server);
    EXPECT_EQ(first.count(QStringLiteral("SELECT count(*) FROM singer")), 3) << "the pushing room follows its own push";
}

TEST(VenueCopy, unreachableOrNewerServersChangeNothingAnywhereAndTheRoomSaysSoInOneLine)
{
    REQUIRE_SERVER();
    const QString database = testServer().newDatabase();
    LocalRoom newerRoom(testServer().url(database), {});
    pushCatalogue(*newerRoom.venue, newerRoom.db, false);
    ASSERT_EQ(newerRoom.venue->catchUpOnce(), QString());
    testServer().sql(database, QStringLiteral("UPDATE venue_catalogue SET schema_version = 99"));
    const struct
    {
        QString url;
        QString said;
    } cases[] = {
        {testServer().url(database, QStringLiteral("wrong")), QStringLiteral("無法連線到曲目伺服器 (")},
        {QStringLiteral("postgresql://venue@127.0.0.1:notaport/x"), QStringLiteral("無法連線到曲目伺服器 (")},
        {QStringLiteral("host=127.0.0.1 port=1 dbname=x' ; DROP TABLE song; --"), QStringLiteral("無法連線到曲目伺服器 (")},
        {testServer().url(database),
         QStringLiteral("無法使用曲目伺服器: 伺服器的資料版本 99, 本程式只認得到版本 %1").arg(ServerSchema::kVersion)},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.url.toStdString());
        LocalRoom room(c.url, {});
        EXPECT_THROW(insertSinger(room.venue->store(), QStringLiteral("甲"), 0), CatalogueUnreachable);
        EXPECT_EQ(room.count(QStringLiteral("SELECT count(*) FROM singer")), 0);
        std::mutex mutex;
        QString notice;
        {
            const auto sync = room.venue->follow([&](const QString &text) {
                std::lock_guard lock(mutex);
                notice = text;
            });
            waitFor([&] { std::lock_guard lock(mutex); return !notice.isEmpty(); }, 8000);
        }
        EXPECT_TRUE(notice.startsWith(c.said)) << notice.toStdString();
        EXPECT_TRUE(notice.endsWith(QStringLiteral("(以本機的曲目播放)")));
        EXPECT_FALSE(notice.contains(QLatin1Char('\n')));
        EXPECT_FALSE(notice.contains(QRegularExpression(QStringLiteral("[a-z]{3}")))) << "the reason is for the log";
    }
    EXPECT_EQ(testServer().sql(database, QStringLiteral("SELECT count(*) FROM singer")), QStringLiteral("0"));
}

TEST(VenueSettings, theServerLineKeepsEveryEqualsSignOfItsConnectionStringAndNeitherLineIsWritten)
{
    const Settings settings = SettingsFile::parse(
        QStringLiteral("CatalogueServer = host=10.0.0.5 port=5432 dbname=songs\r\nMediaRoot = /mnt/songs\r\n"),
        QStringLiteral("/home/room/"));
    EXPECT_EQ(settings.CatalogueServer, QStringLiteral("host=10.0.0.5 port=5432 dbname=songs"));
    EXPECT_EQ(settings.MediaRoot, QStringLiteral("/mnt/songs"));
    EXPECT_FALSE(QString::fromUtf8(SettingsFile::completedBytes({})).contains(QStringLiteral("CatalogueServer")));
    EXPECT_TRUE(SettingsFile::parse({}, QStringLiteral("/home/room/")).CatalogueServer.isEmpty());
}
