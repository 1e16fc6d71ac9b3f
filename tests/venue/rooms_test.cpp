// Rooms of a venue as real processes on a real PostgreSQL server: jukeboxes following the
// server while other rooms register, the server crashing mid-registration, a room killed in
// the middle of applying changes.
#include "venue_fixture.h"

#include "support/write_lock.h"
#include "venue/replica_sync.h"

#include <QElapsedTimer>
#include <QThread>

#include <signal.h>

namespace {

// A room has every change within 2 s of its commit; a sanitized build runs its rooms slower.
#if defined(__SANITIZE_ADDRESS__)
constexpr int kCatchUpMs = 6000;
#else
constexpr int kCatchUpMs = 2000;
#endif

const QString kNumbersTwice = QStringLiteral("SELECT count(*) FROM (SELECT song_num FROM song GROUP BY song_num "
                                             "HAVING count(*) > 1)");
const QString kFilesTwice = QStringLiteral("SELECT count(*) FROM (SELECT song_location FROM song "
                                           "GROUP BY song_location HAVING count(*) > 1)");

QByteArray songBook(const Room &room)
{
    const QString pdf = room.path() + QStringLiteral("/book.pdf");
    EXPECT_EQ(room.run({QStringLiteral("--print-book"), pdf}).exitCode, 0);
    QFile file(pdf);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

// The creation time is the one thing two rooms print apart.
QByteArray withoutCreationDate(QByteArray pdf)
{
    const qsizetype at = pdf.indexOf("/CreationDate (");
    if (at >= 0)
        pdf.remove(at, pdf.indexOf(')', at) - at + 1);
    return pdf;
}

struct Venue
{
    Venue()
        : database(testServer().newDatabase())
    {
        for (int i = 0; i < 3; ++i)
            rooms.push_back(std::make_unique<Room>(testServer().url(database), media.path()));
        // A new venue starts with one room putting its catalogue, empty here, on the server.
        const Room::Run push = rooms[0]->run({QStringLiteral("--push-catalogue")});
        EXPECT_EQ(push.exitCode, 0) << push.output.toStdString();
    }
    Room &room(int i) { return *rooms[size_t(i)]; }
    bool allHold(qint64 songs)
    {
        for (const auto &room : rooms) {
            if (room->songs() != songs)
                return false;
        }
        return true;
    }

    TempHome media;
    QString database;
    std::vector<std::unique_ptr<Room>> rooms;
};

} // namespace

TEST(VenueRooms, twoRoomsRegisteringAtOnceReachEveryRoomWithinTwoSecondsUnderNumbersGivenOnce)
{
    REQUIRE_SERVER();
    Venue venue;
    std::vector<std::unique_ptr<QProcess>> jukeboxes;
    for (int i = 0; i < 3; ++i)
        jukeboxes.push_back(venue.room(i).startJukebox());
    const QString listA = writeSongList(venue.media.path(), QStringLiteral("A"), QStringLiteral("甲"), 1, 1000);
    const QString listB = writeSongList(venue.media.path(), QStringLiteral("B"), QStringLiteral("乙"), 1001, 1000);
    const auto runA = venue.room(0).startTask({QStringLiteral("--register-list"), listA});
    const auto runB = venue.room(1).startTask({QStringLiteral("--register-list"), listB});
    ASSERT_TRUE(runA->waitForFinished(180000) && runB->waitForFinished(180000));
    QElapsedTimer sinceLastCommit;
    sinceLastCommit.start();
    EXPECT_EQ(runA->exitCode(), 0) << runA->readAll().right(2000).toStdString();
    EXPECT_EQ(runB->exitCode(), 0) << runB->readAll().right(2000).toStdString();

    EXPECT_TRUE(waitFor([&] { return venue.allHold(2000); }, kCatchUpMs))
        << venue.room(0).songs() << " " << venue.room(1).songs() << " " << venue.room(2).songs();
    EXPECT_LE(sinceLastCommit.elapsed(), kCatchUpMs);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(venue.room(i).count(kNumbersTwice), 0);
        EXPECT_EQ(venue.room(i).count(QStringLiteral("SELECT count(*) FROM singer")), 2);
    }
    for (auto &jukebox : jukeboxes) {
        EXPECT_EQ(jukebox->state(), QProcess::Running) << "a room stopped";
        jukebox->kill();
        jukebox->waitForFinished();
    }
    const QByteArray book = withoutCreationDate(songBook(venue.room(0)));
    EXPECT_GT(book.size(), 10000);
    EXPECT_EQ(withoutCreationDate(songBook(venue.room(1))), book);
    EXPECT_EQ(withoutCreationDate(songBook(venue.room(2))), book);
}

TEST(VenueRooms, serverCrashingMidRegistrationLosesAndDoublesNothingAndTheRoomsPlayOnAndCatchUp)
{
    REQUIRE_SERVER();
    Venue venue;
    std::vector<std::unique_ptr<QProcess>> jukeboxes;
    for (int i = 1; i < 3; ++i)
        jukeboxes.push_back(venue.room(i).startJukebox());
    const QString list = writeSongList(venue.media.path(), QStringLiteral("C"), QStringLiteral("丙"), 1, 600);
    const auto registration = venue.room(0).startTask({QStringLiteral("--register-list"), list});
    ASSERT_TRUE(waitFor([&] { return venue.room(1).songs() >= 100; }, 60000));
    testServer().crash();
    ASSERT_TRUE(registration->waitForFinished(60000));
    EXPECT_EQ(registration->exitCode(), 1);
    EXPECT_TRUE(registration->readAll().contains("無法連線到曲目伺服器"));
    const qint64 storedBefore = venue.room(0).songs();
    EXPECT_LT(storedBefore, 600);

    ASSERT_TRUE(testServer().start());
    const Room::Run again = venue.room(0).run({QStringLiteral("--register-list"), list});
    EXPECT_EQ(again.exitCode, 0) << again.output.right(2000).toStdString();
    EXPECT_TRUE(waitFor([&] { return venue.allHold(600); }, kCatchUpMs + ReplicaSync::kLastRetryMs))
        << venue.room(0).songs() << " " << venue.room(1).songs() << " " << venue.room(2).songs();
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(venue.room(i).count(kNumbersTwice), 0);
        EXPECT_EQ(venue.room(i).count(kFilesTwice), 0);
    }
    for (auto &jukebox : jukeboxes) {
        EXPECT_EQ(jukebox->state(), QProcess::Running) << "a room stopped with its server";
        jukebox->kill();
        jukebox->waitForFinished();
    }
}

TEST(VenueRooms, roomKilledWhileApplyingKeepsItsLastWholeBatchAndCatchesUpAtItsNextStart)
{
    REQUIRE_SERVER();
    Venue venue;
    Room &room = venue.room(0);
    ASSERT_EQ(room.run({QStringLiteral("--init-only")}).exitCode, 0);
    const auto jukebox = room.startJukebox();
    ASSERT_TRUE(waitFor([&] { return room.count(QStringLiteral("SELECT count(*) FROM venue_copy")) == 1; }, 20000));
    // One change of 40 000 songs: the room applies it as one batch.
    testServer().sql(venue.database,
                     QStringLiteral("INSERT INTO singer (singer_name) VALUES ('丁'); "
                                    "INSERT INTO song (song_num, song_kind, song_name, song_text_count, "
                                    "song_singer_code, song_build_date, song_location) SELECT 103000 + n, 1, "
                                    "'曲' || n, 3, 1, '2024/01/01', 's' || n || '.mpg' "
                                    "FROM generate_series(1, 40000) AS n"));
    // The batch is under way while the room holds the copy's write lock (twice in a row: longer
    // than any other write of the room).
    Database probe(room.catalogue());
    ASSERT_TRUE(waitFor([&] { return writeLockHeld(probe) && (QThread::msleep(100), writeLockHeld(probe)); }, 20000))
        << "the room never applied the batch";
    ::kill(pid_t(jukebox->processId()), SIGKILL);
    jukebox->waitForFinished();

    // The half-applied batch was never committed: nothing of it, and the mark before it.
    EXPECT_EQ(room.songs(), 0);
    EXPECT_EQ(room.count(QStringLiteral("SELECT count(*) FROM singer")), 0);
    const Room::Run next = room.run({QStringLiteral("--statistics")});
    EXPECT_EQ(next.exitCode, 0);
    EXPECT_TRUE(next.output.contains(QStringLiteral("共有 40000 首歌"))) << next.output.toStdString();
    EXPECT_EQ(room.count(QStringLiteral("SELECT count(*) FROM pragma_integrity_check WHERE integrity_check <> 'ok'")), 0);
}
