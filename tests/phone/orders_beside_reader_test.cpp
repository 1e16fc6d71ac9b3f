// A connection holding a long read of a big catalogue (the song book being printed, a tool
// reading every song) while the keypad and phones order: every order is kept, and none waits
// for the file.
#include "core/lookups.h"
#include "phone/phone_fixture.h"
#include "support/file_waits.h"

namespace {

// The waits are counted on every connection the fixture opens, so they are watched first.
class OrdersBesideALongReader : private FileWaits, public PhoneFixture
{
protected:
    static constexpr int kSongs = 100000;
    static constexpr int kOrders = 100;

    // Songs written as another program writes them, up to kSongs in all.
    void fillCatalogue()
    {
        Database &db = home.catalogue.database();
        db.ExecuteSql(QStringLiteral("BEGIN"));
        db.ExecuteSql(QStringLiteral(
                          "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i + 1 < ?) "
                          "INSERT INTO song (song_num, song_kind, song_name, song_text_count, song_singer_code, "
                          "song_build_date, song_location) SELECT 200000 + i, 1, '歌' || i, 2, 1, '2026/12/01', "
                          "'/songs/' || i || '.mpg' FROM n"),
                      {kSongs - home.songRows()});
        db.ExecuteSql(QStringLiteral("COMMIT"));
    }

    // Every fifth order from one of four phones (as many as one address may send in a minute),
    // the others from the keypad: all kept, on the disk, with no wait for the file.
    void orderWhileTheFileIsHeld()
    {
        FileWaits::takeWaitedMs();
        QStringList expected;
        for (int i = 0; i < kOrders; ++i) {
            const QString number = QString::number(200000 + i * 997);
            if (i % 5 != 4) {
                ASSERT_EQ(AddToOrderList(home.state, number), i) << "the keypad's order " << i;
                expected.append(number);
                continue;
            }
            const QString guest = QStringLiteral("客人%1").arg(i / 5 % 4);
            const PhoneReply reply = order(number, phoneOf(char('a' + i / 5 % 4)), guest);
            ASSERT_EQ(reply.status, 200) << "a phone's order " << i << ": " << reply.body.toStdString();
            expected.append(number + QStringLiteral(" by ") + guest);
        }
        ASSERT_TRUE(writer->flush(5000));
        EXPECT_LE(FileWaits::takeWaitedMs(), 50) << "the orders waited for the file";
        EXPECT_EQ(queue(), expected);
        EXPECT_EQ(keptQueue(), expected) << "every order on the disk";
    }
};

TEST_F(OrdersBesideALongReader, EveryOrderIsKeptAndNoneWaitsForTheFile)
{
    fillCatalogue();
    ASSERT_EQ(home.songRows(), kSongs);
    Database longRead(home.state.DbPath);
    longRead.ExecuteSql(QStringLiteral("BEGIN"));
    int read = 0;
    int queuedAsTheReaderSawIt = -1;
    longRead.forEachRow(QStringLiteral("SELECT song_num, song_name FROM song"), {}, [&](const RowView &) {
        if (++read < kSongs / 2)
            return true;
        // Half way through its walk, the reader holds the file while the guests order.
        orderWhileTheFileIsHeld();
        queuedAsTheReaderSawIt = longRead.OpenRecordset(QStringLiteral("SELECT count(*) FROM play_queue")).value(0).toInt();
        return false;
    });
    EXPECT_EQ(read, kSongs / 2);
    EXPECT_EQ(queuedAsTheReaderSawIt, 0) << "the reader held its view of the file all along";
    longRead.ExecuteSql(QStringLiteral("COMMIT"));
}

} // namespace
