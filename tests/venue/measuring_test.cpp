// Measuring loudness in a venue of rooms on a real PostgreSQL server, in one process: three
// idle rooms measure each song once in all, the other rooms taking the values through their
// copies; a measurer left behind at the end keeps the room's copy it writes to alive.
#include "venue_fixture.h"

#include "app/background_measuring.h"
#include "catalogue/singer_records.h"
#include "catalogue/song_loudness.h"
#include "catalogue/song_registration.h"
#include "platform/gst/gst_loudness_meter.h"
#include "platform/qt_file_system.h"
#include "support/test_media.h"
#include "venue/catalogue_transfer.h"
#include "venue/server_connection.h"

#include <QFileInfo>
#include <QMap>

#include <future>
#include <utility>
#include <mutex>

namespace {

// The real meter, counting what every room together asked it to measure, file by file.
class CountingMeter : public LoudnessMeter
{
public:
    struct Counts
    {
        std::mutex mutex;
        QMap<QString, int> perFile;
        int total()
        {
            const std::lock_guard lock(mutex);
            int sum = 0;
            for (const int n : std::as_const(perFile))
                sum += n;
            return sum;
        }
    };

    explicit CountingMeter(Counts &counts)
        : m_counts(counts)
    {
    }
    Result measure(const QString &path, const std::atomic<bool> &stop) override
    {
        const Result result = m_meter.measure(path, stop);
        if (result.outcome != Outcome::Stopped) {
            const std::lock_guard lock(m_counts.mutex);
            ++m_counts.perFile[QFileInfo(path).fileName()];
        }
        return result;
    }

private:
    Counts &m_counts;
    GstLoudnessMeter m_meter{GstLoudnessMeter::Priority::Background};
};

// n songs of one singer registered through room's store, each a file of its own in folder.
void registerSongs(LocalRoom &room, const QString &folder, int n)
{
    QtFileSystem fs;
    CatalogueStore &store = room.venue->store();
    const qint64 singer = insertSinger(store, QStringLiteral("林"), 1);
    for (int i = 0; i < n; ++i) {
        const QString file = folder + QStringLiteral("/s%1.wav").arg(i);
        ASSERT_TRUE(QFile::copy(testMedia(QStringLiteral("tone-1s.wav")), file));
        const NewSong song{1, 2, QString(QChar(0x4E00 + i)) + QStringLiteral("歌"), {singer}, QStringLiteral("2024/01/02"), file};
        registerSong(store, fs, room.home.path(), song);
    }
}

} // namespace

TEST(VenueMeasuring, ThreeIdleRoomsMeasureEachOfThirtySongsOnceInAllAndEveryCopyGetsTheValues)
{
    REQUIRE_SERVER();
    const QString database = testServer().newDatabase();
    const QString url = testServer().url(database);
    TempHome shared;
    std::vector<std::unique_ptr<LocalRoom>> rooms;
    for (int r = 0; r < 3; ++r)
        rooms.push_back(std::make_unique<LocalRoom>(url, shared.path()));
    pushCatalogue(*rooms[0]->venue, rooms[0]->db, false); // a new venue, its catalogue empty
    registerSongs(*rooms[0], shared.path(), 30);
    ServerConnection server(url);
    const QString searchChanges = QStringLiteral("SELECT changes FROM catalogue_changes");
    std::vector<qint64> changesBefore;
    for (const auto &room : rooms) {
        room->venue->copy().catchUp(server);
        changesBefore.push_back(room->count(searchChanges));
    }

    CountingMeter::Counts counts;
    std::vector<std::unique_ptr<BackgroundMeasuring>> measurers;
    for (const auto &room : rooms)
        measurers.push_back(std::make_unique<BackgroundMeasuring>(
            room->db.path(), room->home.path(), std::make_unique<CountingMeter>(counts), room->venue->storeMaker()));
    for (const auto &measuring : measurers)
        measuring->resume(); // every room sits idle at once
    const QString measured = QStringLiteral("SELECT count(*) FROM song WHERE song_loudness_state = 1");
    ASSERT_TRUE(waitFor([&] { return testServer().sql(database, measured) == QStringLiteral("30"); }, 120000))
        << testServer().sql(database, measured).toStdString() << " of 30 measured";
    for (const auto &measuring : measurers)
        EXPECT_TRUE(measuring->flush(60000)) << "the pass ends";

    // The rooms' copies follow the server; a second idle pass finds nothing to measure.
    for (size_t r = 0; r < rooms.size(); ++r) {
        LocalRoom &room = *rooms[r];
        room.venue->copy().catchUp(server);
        EXPECT_EQ(room.count(QStringLiteral("SELECT count(*) FROM song_loudness WHERE loudness_state = 1")), 30);
        EXPECT_TRUE(findLoudness(room.db, QStringLiteral("102001")));
        EXPECT_EQ(room.count(searchChanges), changesBefore[r]) << "values measured are no change for the phone search";
    }
    for (const auto &measuring : measurers) {
        measuring->resume();
        EXPECT_TRUE(measuring->flush(60000));
    }
    measurers.clear();
    EXPECT_EQ(counts.total(), 30) << "measurements in all";
    EXPECT_EQ(counts.perFile.size(), 30);
    for (auto it = counts.perFile.cbegin(); it != counts.perFile.cend(); ++it)
        EXPECT_EQ(it.value(), 1) << it.key().toStdString();
}

// The end of the program lets go of a measurer held up in a server write (a row locked by
// another room) and the room goes away; when the server answers at last, the measurer finishes
// its change into the room's copy, which it keeps alive until then.
TEST(VenueMeasuring, AMeasurerLetGoInAServerWriteKeepsTheRoomsCopyItWritesTo)
{
    REQUIRE_SERVER();
    const QString database = testServer().newDatabase();
    const QString url = testServer().url(database);
    TempHome shared;
    LocalRoom room(url, shared.path());
    pushCatalogue(*room.venue, room.db, false);
    registerSongs(room, shared.path(), 1);
    ServerConnection blocker(url);
    blocker.run(QStringLiteral("BEGIN"));
    blocker.exec(QStringLiteral("SELECT 1 FROM song FOR UPDATE"));

    CountingMeter::Counts counts;
    auto measuring = std::make_unique<BackgroundMeasuring>(room.db.path(), room.home.path(),
                                                           std::make_unique<CountingMeter>(counts), room.venue->storeMaker());
    measuring->resume();
    const QString waiting = QStringLiteral("SELECT count(*) FROM pg_stat_activity WHERE wait_event_type = 'Lock' AND datname = current_database()");
    ASSERT_TRUE(waitFor([&] { return testServer().sql(database, waiting) == QStringLiteral("1"); }, 60000))
        << "the write waits";
    auto ended = std::async(std::launch::async, [&measuring] { measuring.reset(); });
    ASSERT_EQ(ended.wait_for(std::chrono::seconds(5)), std::future_status::ready) << "ending does not wait";
    room.venue.reset();

    blocker.run(QStringLiteral("COMMIT"));
    EXPECT_TRUE(waitFor([&] { return room.count(QStringLiteral("SELECT count(*) FROM song_loudness")) == 1; }, 10000))
        << "the change the measurer finished reached the copy";
    EXPECT_EQ(counts.total(), 1);
}
