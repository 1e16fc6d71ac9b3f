// A room's copy only ever follows the catalogue it was made from or pulled: a database made
// again empty, a backup put back (even after its counter passed the room's mark) and another
// venue's server are refused with one line, the copy kept, until the owner pulls.
#include "venue_fixture.h"

#include "catalogue/catalogue_store.h"
#include "catalogue/singer_records.h"
#include "venue/catalogue_transfer.h"
#include "venue/media_root.h"
#include "venue/replica_sync.h"
#include "venue/server_connection.h"
#include "venue/server_schema.h"
#include "venue/venue_room.h"

#include <mutex>

namespace {

// A venue's server with a catalogue of `singers` singers pushed from a first room.
struct VenueServer
{
    explicit VenueServer(int singers)
        : database(testServer().newDatabase())
        , url(testServer().url(database))
        , first(url, {})
    {
        pushCatalogue(*first.venue, first.db, false);
        addSingers(first, singers);
    }
    static void addSingers(LocalRoom &room, int n)
    {
        for (int i = 0; i < n; ++i)
            insertSinger(room.venue->store(), QStringLiteral("歌手%1").arg(room.count("SELECT count(*) FROM singer") + 1), 0);
    }
    qint64 onServer() const { return testServer().sql(database, QStringLiteral("SELECT count(*) FROM singer")).toLongLong(); }

    QString database;
    QString url;
    LocalRoom first;
};

// What catchUp threw, or an empty text when it applied.
QString refusal(LocalRoom &room)
{
    try {
        ServerConnection server(room.venue->connectionString());
        ServerSchema::requireCatalogue(server);
        room.venue->copy().catchUp(server);
        return {};
    } catch (const CatalogueRefused &e) {
        return e.message().section(QLatin1Char('\n'), 0, 0);
    }
}

const QString kNotThisVenue = QStringLiteral("曲目伺服器不是這個場地的目錄");
const QString kEmpty = QStringLiteral("曲目伺服器的目錄是空的");

} // namespace

TEST(VenueIdentity, aDatabaseMadeAgainEmptyAndABackupPutBackAreRefusedUntilTheOwnerPulls)
{
    REQUIRE_SERVER();
    VenueServer venue(5);
    LocalRoom other(venue.url, {});
    ASSERT_EQ(refusal(other), QString());
    ASSERT_EQ(other.count("SELECT count(*) FROM singer"), 5);
    const QByteArray backup = testServer().dump(venue.database);

    // Made again empty: no room builds a catalogue there, no copy loses a singer.
    testServer().recreate(venue.database);
    EXPECT_EQ(refusal(other), kEmpty);
    EXPECT_THROW(insertSinger(venue.first.venue->store(), QStringLiteral("新人"), 0), CatalogueRefused);
    EXPECT_EQ(testServer().sql(venue.database, QStringLiteral("SELECT to_regclass('singer') IS NULL")), QStringLiteral("t"));
    EXPECT_EQ(other.count("SELECT count(*) FROM singer"), 5);
    EXPECT_EQ(venue.first.count("SELECT count(*) FROM singer"), 5);

    // The backup put back, the rooms having gone past it; then more changes by a room that
    // pulled it, until the server's counter is past every room's mark.
    VenueServer::addSingers(venue.first, 0);
    testServer().recreate(venue.database, backup);
    EXPECT_EQ(refusal(other), kNotThisVenue) << "a backup is another history, even at the same counter";
    LocalRoom puller(venue.url, {});
    pullCatalogue(*puller.venue);
    VenueServer::addSingers(puller, 4);
    EXPECT_EQ(refusal(other), kNotThisVenue);
    EXPECT_EQ(refusal(venue.first), kNotThisVenue);
    EXPECT_EQ(other.count("SELECT count(*) FROM singer"), 5);
    EXPECT_THROW(insertSinger(other.venue->store(), QStringLiteral("新人"), 0), CatalogueRefused);
    EXPECT_EQ(venue.onServer(), 9);

    // Pulled, the room equals the server again and follows it.
    pullCatalogue(*other.venue);
    EXPECT_EQ(other.count("SELECT count(*) FROM singer"), 9);
    VenueServer::addSingers(puller, 1);
    EXPECT_EQ(refusal(other), QString());
    EXPECT_EQ(other.text("SELECT group_concat(singer_name, ',') FROM (SELECT singer_name FROM singer ORDER BY singer_code)"),
              testServer().sql(venue.database, QStringLiteral("SELECT string_agg(singer_name, ',' ORDER BY singer_code) "
                                                              "FROM singer")));
}

TEST(VenueIdentity, aServerPutBackBelowTheRoomsMarkIsRefusedAsABackup)
{
    REQUIRE_SERVER();
    VenueServer venue(3);
    // A backup of the data alone, the tables kept: the counter is all that tells.
    testServer().sql(venue.database, QStringLiteral("SELECT setval('catalogue_change', 1); DELETE FROM singer "
                                                    "WHERE singer_code > 1"));
    EXPECT_EQ(refusal(venue.first), kNotThisVenue);
    EXPECT_EQ(venue.first.count("SELECT count(*) FROM singer"), 3);
}

TEST(VenueIdentity, anotherVenuesServerIsRefusedAndNothingIsWrittenAnywhere)
{
    REQUIRE_SERVER();
    VenueServer ours(3);
    VenueServer theirs(2);
    LocalRoom room(ours.url, {});
    ASSERT_EQ(refusal(room), QString());
    room.venue = std::make_unique<VenueRoom>(theirs.url, room.db.path(), MediaRoot({}, room.home.path()));
    EXPECT_EQ(refusal(room), kNotThisVenue);
    EXPECT_THROW(insertSinger(room.venue->store(), QStringLiteral("新人"), 0), CatalogueRefused);
    EXPECT_EQ(room.count("SELECT count(*) FROM singer"), 3);
    EXPECT_EQ(theirs.onServer(), 2);
}

TEST(VenueIdentity, theRoomsNoticeSaysWhatItFoundAndClearsOnceItFollowsAgain)
{
    REQUIRE_SERVER();
    VenueServer venue(2);
    std::mutex mutex;
    QStringList notices;
    auto last = [&] {
        std::lock_guard lock(mutex);
        return notices.isEmpty() ? QStringLiteral("?") : notices.last();
    };
    testServer().recreate(venue.database);
    const auto sync = venue.first.venue->follow([&](const QString &notice) {
        std::lock_guard lock(mutex);
        notices.append(notice);
    });
    ASSERT_TRUE(waitFor([&] { return last() != QStringLiteral("?"); }, 5000));
    EXPECT_EQ(last(), kEmpty + QStringLiteral(" (以本機的曲目播放)"));
    LocalRoom starter(venue.url, {});
    pushCatalogue(*starter.venue, starter.db, false);
    pullCatalogue(*venue.first.venue);
    EXPECT_TRUE(waitFor([&] { return last().isEmpty(); }, ReplicaSync::kLastRetryMs + 3000)) << last().toStdString();
}

TEST(VenueMediaRoot, aFileInsideTheSharedFolderIsKeptWithinItAndEveryOtherWhole)
{
    const MediaRoot root(QStringLiteral("/mnt/songs/"), QStringLiteral("/home/room/"));
    const struct
    {
        QString room;
        QString server;
    } cases[] = {
        {QStringLiteral("/mnt/songs/國語/a.mpg"), QStringLiteral("國語/a.mpg")},
        {QStringLiteral("/mnt/songs2/a.mpg"), QStringLiteral("/mnt/songs2/a.mpg")},
        {QStringLiteral("/mnt/songsa.mpg"), QStringLiteral("/mnt/songsa.mpg")},
        {QStringLiteral("/other/b.mpg"), QStringLiteral("/other/b.mpg")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.room.toStdString());
        EXPECT_EQ(root.toServer(c.room), c.server);
        EXPECT_EQ(root.toRoom(c.server), c.room);
    }
    EXPECT_EQ(root.toServer(QStringLiteral("Music\\c.mpg")), QStringLiteral("/home/room/Music/c.mpg"));
}
