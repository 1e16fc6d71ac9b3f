#include "core/lookups.h"
#include "core/play_queue.h"
#include "core/queue_store.h"
#include "core/queue_writer.h"
#include "support/catalogue_home.h"
#include "support/fake_clock.h"
#include "support/fake_file_system.h"
#include "support/qt_printers.h"

#include <QElapsedTimer>
#include <QThread>

#include <gtest/gtest.h>

#include <atomic>

namespace {

PlayQueue queueOf(std::initializer_list<const char *> numbers)
{
    PlayQueue q;
    for (const char *n : numbers)
        q.append({n, QString(n) + "--歌手"});
    return q;
}

QStringList keys(const PlayQueue &q)
{
    QStringList k;
    for (int i = 0; i < q.length(); ++i)
        k.append(q.row(i).key);
    return k;
}

TEST(PlayQueue, RowsStayPackedWhenRowsAreRefusedRemovedOrMovedForward)
{
    PlayQueue q = queueOf({"a", "b"});
    EXPECT_EQ(q.append({"", "--歌手"}), -1) << "an empty song number would end the queue early";
    EXPECT_EQ(q.append({"c", "c--歌手"}), 2);
    EXPECT_EQ(keys(q), QStringList({"a", "b", "c"}));
    EXPECT_EQ(q.head(), "a");
    q.removeAt(0);
    EXPECT_EQ(keys(q), QStringList({"b", "c"}));
    EXPECT_TRUE(q.row(2).isEmpty());
    q.removeAt(1);
    EXPECT_EQ(keys(q), QStringList({"b"}));
    q.removeAt(7); // an empty row: nothing happens
    EXPECT_EQ(q.length(), 1);
    q.removeAt(0);
    EXPECT_TRUE(q.isEmpty());
    EXPECT_EQ(q.head(), "");

    // Moving a row to the head shifts the earlier rows back.
    q = queueOf({"a", "b", "c", "d", "e"});
    q.moveToHead(3, "D--插播");
    EXPECT_EQ(keys(q), QStringList({"d", "a", "b", "c", "e"}));
    EXPECT_EQ(q.row(0).text, "D--插播");
    EXPECT_EQ(q.row(1).text, "a--歌手");
    q.moveToHead(0, "D2--插播");
    EXPECT_EQ(keys(q), QStringList({"d", "a", "b", "c", "e"})) << "moving row 0 only changes its text";
    EXPECT_EQ(q.row(0).text, "D2--插播");
    q.moveToHead(4, "E--插播");
    EXPECT_EQ(keys(q), QStringList({"e", "d", "a", "b", "c"}));
    q.moveToHead(5, "x");
    EXPECT_EQ(q.length(), 5);
    q.moveForward(4, 2, "C--插播");
    EXPECT_EQ(keys(q), QStringList({"e", "d", "c", "a", "b"})) << "cutting in after the next song";
    q.moveForward(1, 3, "x");
    EXPECT_EQ(keys(q), QStringList({"e", "d", "c", "a", "b"})) << "a row is never moved back";
}

TEST(PlayQueue, AFullQueueRefusesAndDeletingItsLastRowTouchesNothingElse)
{
    PlayQueue q;
    for (int i = 0; i < PlayQueue::kCapacity; ++i)
        ASSERT_EQ(q.append({QString::number(i), "t"}), i);
    EXPECT_TRUE(q.isFull());
    EXPECT_EQ(q.append({"x", "t"}), -1);
    EXPECT_EQ(q.length(), 5001);
    q.removeAt(5000);
    EXPECT_EQ(q.length(), 5000);
    EXPECT_EQ(q.row(4999).key, "4999");
    EXPECT_TRUE(q.row(5000).isEmpty());
    EXPECT_TRUE(q.row(-1).isEmpty());
    EXPECT_TRUE(q.row(1LL << 40).isEmpty());
}

TEST(KeptQueue, FollowsEveryChangeOnDiskAndARestartGetsItBackWithWhoOrderedWhat)
{
    FakeFileSystem fs;
    FakeClock clock;
    CatalogueHome home(fs, clock);
    ASSERT_TRUE(home.init.ok) << home.init.problem.toStdString();
    const auto catalogueChanges = [&] { return home.count("SELECT changes FROM catalogue_changes"); };
    const int changesBefore = catalogueChanges();
    PlayQueue &q = home.state.OrderedSongs;
    {
        QueueWriter writer(home.state.DbPath, std::vector<QueueRow>{});
        const auto keep = q.subscribe([&] { writer.save(q); });
        for (const char *n : {"a", "b", "c", "d"}) {
            QueueRow row(ListRow{n, QString(n) + "--歌手"});
            row.title = n;
            row.by = {QString("客人") + n, QString("phone-") + n};
            q.append(row);
        }
        q.removeAt(0);
        q.moveForward(2, 0, "d--插播");
        ASSERT_TRUE(writer.flush(5000));
        EXPECT_EQ(home.rows("SELECT song_num, position, queue_text, ordered_by, phone FROM play_queue ORDER BY position"),
                  QStringList({"d|0|d--插播|客人d|phone-d", "b|1|b--歌手|客人b|phone-b", "c|2|c--歌手|客人c|phone-c"}));
        q.removeAt(0); // written by the writer as it stops
    }
    EXPECT_EQ(catalogueChanges(), changesBefore) << "the queue's writes are not changes of the catalogue";
    home.catalogue.addSong("100001", 1, "晴天", home.catalogue.addSinger("周杰倫", 1));
    EXPECT_EQ(catalogueChanges(), changesBefore + 2) << "a singer and a song";

    PlayQueue restarted;
    QueueStore::Kept kept = QueueStore::load(home.reader);
    restarted.restore(std::move(kept.rows), kept.lastId);
    EXPECT_EQ(keys(restarted), QStringList({"b", "c"}));
    EXPECT_EQ(restarted.row(1).by.name, "客人c");
    EXPECT_EQ(restarted.row(1).by.phone, "phone-c");
    EXPECT_EQ(restarted.row(0).id, 2) << "a queued song keeps its id";
    EXPECT_EQ(restarted.indexOf(3), 1);
    restarted.append({"e", "e--歌手"});
    EXPECT_EQ(restarted.row(2).id, 5) << "new ids follow the highest ever given, never one still known to a phone";
    {
        QueueWriter writer(home.state.DbPath, restarted.rows());
        restarted.clear(); // a clean exit
        writer.save(restarted);
    }
    EXPECT_TRUE(QueueStore::load(home.reader).rows.empty());
}

// Another connection holding a long read of the catalogue (the song book being printed, the
// phone page's search reading every song) holds up neither the keypad's nor the phones' orders
// nor their way to the disk.
TEST(KeptQueue, AReaderHoldingTheCatalogueHoldsUpNoOrderNorItsWayToTheDisk)
{
    FakeFileSystem fs;
    FakeClock clock;
    CatalogueHome home(fs, clock);
    ASSERT_TRUE(home.init.ok) << home.init.problem.toStdString();
    const qint64 singer = home.catalogue.addSinger("歌手", 1);
    for (int i = 0; i < 100; ++i)
        home.catalogue.addSong(QString::number(100000 + i), 1, QStringLiteral("歌%1").arg(i), singer);
    PlayQueue &q = home.state.OrderedSongs;
    QueueWriter writer(home.state.DbPath, std::vector<QueueRow>{});
    const auto keep = q.subscribe([&] { writer.save(q); });

    Database longRead(home.state.DbPath);
    longRead.ExecuteSql(QStringLiteral("BEGIN"));
    ASSERT_EQ(longRead.OpenRecordset(QStringLiteral("SELECT count(*) FROM song")).value(0).toInt(), 100);
    for (int i = 0; i < 100; ++i) {
        const QString number = QString::number(100000 + i);
        const int row = i % 2 == 0 ? AddToOrderList(home.state, number)
                                   : AddToOrderList(home.state, number, Orderer{QStringLiteral("客人"), QStringLiteral("phone")});
        ASSERT_EQ(row, i);
        ASSERT_TRUE(writer.flush(2000)) << "order " << i << " did not reach the disk";
    }
    EXPECT_EQ(home.count("SELECT count(*) FROM play_queue"), 100);
    EXPECT_EQ(longRead.OpenRecordset(QStringLiteral("SELECT count(*) FROM play_queue")).value(0).toInt(), 0)
        << "the reader held its view of the file all along";
    longRead.ExecuteSql(QStringLiteral("COMMIT"));
}

// A queue change that met the catalogue held by another program for longer than the writer
// waits is written once the file is free, with no later change to carry it.
TEST(KeptQueue, AChangeThatMetAHeldCatalogueIsWrittenOnceTheFileIsFree)
{
    FakeFileSystem fs;
    FakeClock clock;
    CatalogueHome home(fs, clock);
    ASSERT_TRUE(home.init.ok) << home.init.problem.toStdString();
    PlayQueue &q = home.state.OrderedSongs;
    QueueWriter writer(home.state.DbPath, std::vector<QueueRow>{});
    std::atomic<int> failures{0};
    QObject::connect(&writer, &QueueWriter::failed, &writer, [&failures] { ++failures; }, Qt::DirectConnection);

    Database holder(home.state.DbPath);
    holder.ExecuteSql(QStringLiteral("BEGIN IMMEDIATE"));
    q.append({QStringLiteral("100001"), QStringLiteral("晴天--歌手")});
    writer.save(q);
    QElapsedTimer held;
    held.start();
    while (failures == 0 && held.elapsed() < 20000)
        QThread::msleep(20);
    ASSERT_GT(failures, 0) << "the write never met the held file";
    EXPECT_GE(held.elapsed(), QueueWriter::kBusyWaitMs - 100);
    holder.ExecuteSql(QStringLiteral("COMMIT"));

    ASSERT_TRUE(writer.flush(20000));
    EXPECT_EQ(home.rows("SELECT song_num, queue_text FROM play_queue"), QStringList({"100001|晴天--歌手"}));
}

TEST(KeptQueue, ATableThatCouldNotBeReadAtStartIsClearedBeforeTheFirstWriteSoNoStaleSongComesBack)
{
    FakeFileSystem fs;
    FakeClock clock;
    CatalogueHome home(fs, clock);
    ASSERT_TRUE(home.init.ok) << home.init.problem.toStdString();
    {
        Database db(home.state.DbPath);
        QueueStore::write(db, {}, queueOf({"stale1", "stale2", "stale3"}).rows());
    }
    // The jukebox started without reading them: its first song takes an id one of them has.
    PlayQueue q = queueOf({"new"});
    {
        QueueWriter writer(home.state.DbPath, std::nullopt);
        writer.save(q);
        ASSERT_TRUE(writer.flush(5000));
    }
    PlayQueue restarted;
    QueueStore::Kept kept = QueueStore::load(home.reader);
    restarted.restore(std::move(kept.rows), kept.lastId);
    EXPECT_EQ(keys(restarted), QStringList({"new"}));
}

} // namespace
