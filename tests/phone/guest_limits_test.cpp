// What one guest may take, on the clock the server gives: limits that lift when their minute is
// over, locks that end, strangers that are forgotten, and a phone that stops reading its live
// queue dropped before the jukebox holds its unsent data.
#include "phone/event_stream.h"
#include "phone/guest_limits.h"
#include "phone/queue_view.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

#include <gtest/gtest.h>

namespace {

constexpr qint64 kMinute = 60000;

TEST(GuestLimits, LimitsAndPinLocksLiftWhenTheirMinuteIsOverAndQuietStrangersAreForgotten)
{
    GuestLimits limits;
    const qint64 start = 1000000;
    for (int i = 0; i < GuestLimits::kOrdersPerMinute; ++i)
        EXPECT_TRUE(limits.allowOrder("10.0.0.1", QString("p%1").arg(i), start + i));
    EXPECT_FALSE(limits.allowOrder("10.0.0.1", "another", start + 100)) << "the address has had its orders";
    EXPECT_TRUE(limits.allowOrder("10.0.0.2", "another", start + 100)) << "another address has not";
    EXPECT_TRUE(limits.allowOrder("10.0.0.1", "another", start + kMinute + 1)) << "a minute later it may order again";

    PinGuard pins;
    for (int i = 0; i < PinGuard::kPerAddress; ++i) {
        EXPECT_FALSE(pins.locked("10.0.0.1", start)) << i;
        pins.wrongGuess("10.0.0.1", start);
    }
    EXPECT_TRUE(pins.locked("10.0.0.1", start + 1));
    EXPECT_TRUE(pins.locked("10.0.0.1", start + PinGuard::kLockMs - 1));
    EXPECT_FALSE(pins.locked("10.0.0.2", start + 1)) << "another address guesses on";
    EXPECT_FALSE(pins.locked("10.0.0.1", start + PinGuard::kLockMs)) << "the lock ends after its minute";

    // Guesses from many addresses, each under its own limit, lock everyone for the minute.
    const qint64 later = start + 10 * kMinute;
    for (int i = 0; i < PinGuard::kInAll; ++i)
        pins.wrongGuess(QString("10.0.1.%1").arg(i), later);
    EXPECT_TRUE(pins.locked("10.0.2.1", later + 1));
    EXPECT_FALSE(pins.locked("10.0.2.1", later + PinGuard::kLockMs));

    RateLimiter reads(GuestLimits::kReadsPerMinute, kMinute);
    for (int i = 0; i < 5000; ++i)
        reads.allow(QString("stranger%1").arg(i), start + i);
    reads.allow("guest", start + 5000 + 2 * kMinute);
    EXPECT_LE(reads.keysRemembered(), 1) << "strangers quiet for a minute take no memory";
}

// A phone that keeps its live queue open but reads nothing (asleep, or a script) is dropped once
// what waits unsent for it passes the limit; a phone that reads gets every queue.
TEST(GuestLimits, APhoneThatStopsReadingItsLiveQueueIsDroppedAndOneThatReadsIsKept)
{
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
    ConnectionLimits limits;
    limits.maxUnsentBytes = 64 * 1024;
    EventStream stream(limits);

    QTcpSocket asleep, awake;
    asleep.setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption, 4096);
    asleep.setReadBufferSize(4096); // the socket itself stops reading too
    std::vector<QTcpSocket *> served;
    for (QTcpSocket *phone : {&asleep, &awake}) {
        phone->connectToHost(QHostAddress::LocalHost, server.serverPort());
        ASSERT_TRUE(server.waitForNewConnection(5000));
        served.push_back(server.nextPendingConnection());
        ASSERT_TRUE(phone->waitForConnected(5000));
    }
    served[0]->setSocketOption(QAbstractSocket::SendBufferSizeSocketOption, 4096);
    stream.add(served[0], "asleep", "10.0.0.1");
    stream.add(served[1], "awake", "10.0.0.2");

    QueueView view;
    for (int i = 0; i < QueueViewJson::kShown; ++i) {
        QueueRow row;
        row.id = i + 1;
        row.title = QString("一首很長很長的歌名，讓每份點歌單都夠大 %1").arg(i);
        view.rows.push_back(row);
    }
    const QueueViewJson queue(view, [](const QString &) { return QString(); });
    const qint64 eachQueue = queue.forPhone(QString()).size();
    ASSERT_GT(eachQueue, 8 * 1024);
    int sent = 0;
    qint64 readByAwake = 0;
    for (; sent < 200 && stream.listeners() == 2; ++sent) {
        stream.send(queue);
        QTest::qWait(5);
        readByAwake += awake.readAll().size();
    }
    EXPECT_EQ(stream.listeners(), 1) << "the phone that reads nothing is dropped, " << sent << " queues on";
    EXPECT_EQ(served[0]->state(), QAbstractSocket::UnconnectedState) << "and its connection closed";
    EXPECT_TRUE(QTest::qWaitFor([&] {
        readByAwake += awake.readAll().size();
        return readByAwake >= sent * eachQueue;
    }, 5000)) << "the phone that reads has every queue: " << readByAwake << " of " << sent * eachQueue << " bytes";
    EXPECT_EQ(awake.state(), QAbstractSocket::ConnectedState);
}

} // namespace
