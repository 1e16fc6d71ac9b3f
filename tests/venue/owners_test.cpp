// Two owners at once on a real PostgreSQL server: rooms registering the same files under other
// kinds, the same new singer, and typed numbers in another room's automatic prefix, whatever
// isolation the server or the connection line asks for; values that come back as they went.
#include "venue_fixture.h"

#include "catalogue/singer_records.h"
#include "catalogue/song_files.h"
#include "catalogue/song_loudness.h"
#include "catalogue/song_registration.h"
#include "platform/qt_file_system.h"
#include "venue/catalogue_transfer.h"
#include "venue/server_connection.h"

#include <atomic>
#include <thread>

namespace {

constexpr int kFiles = 300;
constexpr int kTyped = 60;

QString fileOf(const QString &folder, const QString &stem, int i)
{
    return QStringLiteral("%1/%2%3.mpg").arg(folder, stem).arg(i, 3, 10, QLatin1Char('0'));
}

// One owner's run in a room of its own: the shared singer made if missing (as the runs do),
// then every song of the list, as a bulk run registers it.
struct OwnerRun
{
    OwnerRun(const QString &url, const QString &media, int kind, QString stem, int n, QString typedPrefix = {})
        : room(url, media)
        , kind(kind)
        , stem(std::move(stem))
        , n(n)
        , typedPrefix(std::move(typedPrefix))
    {
    }

    void operator()(const QString &media)
    {
        try {
            QtFileSystem fs;
            RegisteredFiles files(room.db, room.home.path());
            const qint64 singer = insertSinger(room.venue->store(), QStringLiteral("共同新人"), 2);
            for (int i = 0; i < n; ++i) {
                const QString wanted =
                    typedPrefix.isEmpty() ? QString() : typedPrefix + QStringLiteral("%1").arg(i + 1, 3, 10, QLatin1Char('0'));
                const Registration done =
                    registerSong(room.venue->store(), fs, room.home.path(),
                                 {kind, 3, QStringLiteral("曲%1").arg(i), {singer}, QStringLiteral("2024/01/01"),
                                  fileOf(media, stem, i)},
                                 {{}, wanted, &files});
                registered += done.result == Registration::Result::Registered ? 1 : 0;
                refused += done.result == Registration::Result::Registered
                        || done.result == Registration::Result::FileRegistered
                    ? 0
                    : 1;
            }
        } catch (const DatabaseError &e) {
            failure = e.message();
        }
    }

    LocalRoom room;
    int kind;
    QString stem;
    int n;
    QString typedPrefix;
    int registered = 0;
    int refused = 0;
    QString failure;
};

} // namespace

TEST(VenueOwners, twoOwnersAtOnceRegisterEachFileOnceUnderNumbersGivenOnceWhateverTheIsolationAsked)
{
    REQUIRE_SERVER();
    const struct
    {
        const char *name;
        QString onDatabase;
        QString inLine;
    } cases[] = {
        {"the server's defaults", {}, {}},
        {"repeatable read on the database", QStringLiteral("repeatable read"), {}},
        {"serializable on the database", QStringLiteral("serializable"), {}},
        {"serializable in the connection line", {},
         QStringLiteral("?options=-c%20default_transaction_isolation%3Dserializable")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const QString database = testServer().newDatabase();
        if (!c.onDatabase.isEmpty())
            testServer().sql(database, QStringLiteral("ALTER DATABASE %1 SET default_transaction_isolation = '%2'")
                                           .arg(database, c.onDatabase));
        const QString url = testServer().url(database) + c.inLine;
        TempHome media;
        for (int i = 0; i < kFiles; ++i)
            QFile(fileOf(media.path(), QStringLiteral("f"), i)).open(QIODevice::WriteOnly);
        for (int i = 0; i < kTyped; ++i)
            QFile(fileOf(media.path(), QStringLiteral("t"), i)).open(QIODevice::WriteOnly);
        {
            LocalRoom starter(url, media.path());
            pushCatalogue(*starter.venue, starter.db, false);
        }
        // 國語 and 台語 lists of the same files; a third owner types numbers of 國語's prefix
        // for songs of another kind.
        std::vector<std::unique_ptr<OwnerRun>> owners;
        owners.push_back(std::make_unique<OwnerRun>(url, media.path(), 1, QStringLiteral("f"), kFiles));
        owners.push_back(std::make_unique<OwnerRun>(url, media.path(), 2, QStringLiteral("f"), kFiles));
        owners.push_back(std::make_unique<OwnerRun>(url, media.path(), 3, QStringLiteral("t"), kTyped, QStringLiteral("103")));
        std::vector<std::thread> threads;
        for (auto &owner : owners)
            threads.emplace_back([&owner, &media] { (*owner)(media.path()); });
        for (auto &thread : threads)
            thread.join();

        for (const auto &owner : owners) {
            EXPECT_EQ(owner->failure, QString()) << owner->failure.toStdString();
            EXPECT_EQ(owner->refused, 0);
        }
        EXPECT_EQ(owners[0]->registered + owners[1]->registered, kFiles);
        EXPECT_EQ(owners[2]->registered, kTyped);
        const auto server = [&](const char *sql) { return testServer().sql(database, QString::fromUtf8(sql)); };
        EXPECT_EQ(server("SELECT count(*) FROM (SELECT song_location FROM song GROUP BY 1 HAVING count(*) > 1) AS twice"),
                  QStringLiteral("0"));
        EXPECT_EQ(server("SELECT count(*) FROM (SELECT song_num FROM song GROUP BY 1 HAVING count(*) > 1) AS twice"),
                  QStringLiteral("0"));
        EXPECT_EQ(server("SELECT count(*) FROM singer WHERE singer_name = '共同新人'"), QStringLiteral("1"));
        EXPECT_EQ(server("SELECT count(*) FROM song"), QString::number(kFiles + kTyped));
    }
}

TEST(VenueOwners, aCdgPairIsOneSongWhicheverOfItsFilesARoomRegisters)
{
    REQUIRE_SERVER();
    const QString url = testServer().url(testServer().newDatabase());
    TempHome media;
    LocalRoom first(url, media.path());
    LocalRoom second(url, media.path());
    pushCatalogue(*first.venue, first.db, false);
    for (const char *name : {"a.mp3", "a.cdg", "B.MP3", "b.cdg", "q\"x,{y}.mp3", "q\"x,{y}.cdg"})
        QFile(media.file(QString::fromLatin1(name))).open(QIODevice::WriteOnly);
    QtFileSystem fs;
    const qint64 singer = insertSinger(first.venue->store(), QStringLiteral("甲"), 0);
    RegisteredFiles firstFiles(first.db, first.home.path());
    const auto registerIn = [&](LocalRoom &room, RegisteredFiles &files, const QString &file) {
        return registerSong(room.venue->store(), fs, room.home.path(),
                            {1, 2, QStringLiteral("晴天"), {singer}, QStringLiteral("2024/01/02"), file}, {{}, {}, &files})
            .result;
    };
    ASSERT_EQ(registerIn(first, firstFiles, media.file(QStringLiteral("a.mp3"))), Registration::Result::Registered);
    ASSERT_EQ(registerIn(first, firstFiles, media.file(QStringLiteral("b.cdg"))), Registration::Result::Registered);
    ASSERT_EQ(registerIn(first, firstFiles, media.file(QStringLiteral("q\"x,{y}.mp3"))), Registration::Result::Registered);
    // Another room, whose own file knows nothing of them yet: the server decides.
    RegisteredFiles secondFiles(second.db, second.home.path());
    for (const char *file : {"a.cdg", "a.mp3", "B.MP3", "b.cdg", "q\"x,{y}.cdg"}) {
        SCOPED_TRACE(file);
        EXPECT_EQ(registerIn(second, secondFiles, media.file(QString::fromLatin1(file))),
                  Registration::Result::FileRegistered);
    }
    EXPECT_EQ(testServer().sql(url.section(QLatin1Char('/'), -1), QStringLiteral("SELECT count(*) FROM song")),
              QStringLiteral("3"));
}

TEST(VenueOwners, floatsComeBackExactlyWhateverTheConnectionLineAsksForTheirDigits)
{
    REQUIRE_SERVER();
    const QString database = testServer().newDatabase();
    const QString url = testServer().url(database) + QStringLiteral("?options=-c%20extra_float_digits%3D-14");
    TempHome media;
    LocalRoom writer(url, media.path());
    LocalRoom reader(url, QStringLiteral("/mnt/songs"));
    pushCatalogue(*writer.venue, writer.db, false);
    QFile(media.file(QStringLiteral("a.mpg"))).open(QIODevice::WriteOnly);
    QtFileSystem fs;
    const qint64 singer = insertSinger(writer.venue->store(), QStringLiteral("甲"), 0);
    const Registration song = registerSong(writer.venue->store(), fs, writer.home.path(),
                                           {1, 2, QStringLiteral("晴天"), {singer}, QStringLiteral("2024/01/02"),
                                            media.file(QStringLiteral("a.mpg"))});
    const double lufs = -18.123456789012345;
    const double peak = -0.1 / 3;
    storeLoudness(writer.venue->store(), {0, song.number, media.file(QStringLiteral("a.mpg")), std::nullopt},
                  SongLoudness{{ChannelLoudness{lufs, peak}, std::nullopt, std::nullopt}});
    ServerConnection server(url);
    reader.venue->copy().catchUp(server);
    for (LocalRoom *room : {&writer, &reader}) {
        const std::optional<SongLoudness> copied = findLoudness(room->db, song.number);
        ASSERT_TRUE(copied && copied->channels[0]);
        EXPECT_EQ(copied->channels[0]->lufs, lufs);
        EXPECT_EQ(copied->channels[0]->truePeakDb, peak);
    }
    EXPECT_EQ(testServer().sql(database, QStringLiteral("SET extra_float_digits = 3; SELECT song_lufs_1 FROM song")).toDouble(),
              lufs);
}
