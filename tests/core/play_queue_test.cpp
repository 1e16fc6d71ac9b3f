#include "core/play_queue.h"
#include "support/qt_printers.h"

#include <gtest/gtest.h>

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

} // namespace
