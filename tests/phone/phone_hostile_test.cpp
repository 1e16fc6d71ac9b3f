// A stranger on the room's network trying to take the jukebox down: connections held, requests
// trickled, live queues opened by the hundred, orders under made-up ids. A guest at another
// address, and the keypad, go on as if nothing happened.
#include "phone/phone_fixture.h"

#include "core/lookups.h"
#include "phone/guest_limits.h"
#include "platform/open_files.h"
#include "support/process_watch.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QTest>
#include <QTimer>

#include <sys/resource.h>
#include <unistd.h>

namespace {

class PhoneHostile : public PhoneFixture
{
protected:
    static constexpr int kRequestMs = 1500;

    void SetUp() override
    {
        OpenFiles::raiseLimit(); // the test holds both ends of every connection
        PhoneFixture::SetUp();
        restartPhones([](PhoneConfig &c) {
            c.limits.requestMs = kRequestMs;
            // Far longer than a request's, so an idle connection closing shows the request deadline began again.
            c.limits.answerMs = 4 * kRequestMs;
        });
    }

    // n connections from an address, each saying what say gives once connected.
    std::vector<std::unique_ptr<QTcpSocket>> connections(int n, const QHostAddress &address, const QByteArray &say = {})
    {
        std::vector<std::unique_ptr<QTcpSocket>> opened;
        for (int i = 0; i < n; ++i) {
            auto socket = std::make_unique<QTcpSocket>();
            socket->bind(address);
            if (!say.isEmpty())
                QObject::connect(socket.get(), &QTcpSocket::connected, socket.get(), [s = socket.get(), say] { s->write(say); });
            socket->connectToHost(QHostAddress::LocalHost, port());
            opened.push_back(std::move(socket));
        }
        return opened;
    }

    static int stillOpen(const std::vector<std::unique_ptr<QTcpSocket>> &sockets)
    {
        return int(std::count_if(sockets.begin(), sockets.end(), [](const auto &s) {
            s->readAll();
            return s->state() == QAbstractSocket::ConnectedState;
        }));
    }
};

TEST_F(PhoneHostile, AFloodFromOneAddressLeavesTheRoomsPhonesAndTheKeypadTheirJukebox)
{
    const int socketsBefore = ProcessWatch::openSockets();
    const qint64 memoryBefore = ProcessWatch::residentBytes();
    auto silent = connections(1000, loopback(1));
    auto trickling = connections(300, loopback(1));
    QTimer trickle;
    QObject::connect(&trickle, &QTimer::timeout, [&] {
        for (const auto &s : trickling) {
            if (s->state() == QAbstractSocket::ConnectedState)
                s->write("G");
        }
    });
    trickle.start(400);
    auto streams = connections(200, loopback(3), httpRequest("GET", "api/events?phone=" + phoneOf('x')));
    // A guest at another address, in the middle of it.
    QElapsedTimer loading;
    loading.start();
    EXPECT_EQ(from(loopback(2), "GET", QString()).status, 200);
    EXPECT_LT(loading.elapsed(), 1000 * ProcessWatch::buildSlowdown()) << "the page loads within a second";
    int scripted = 0;
    for (int i = 0; i < 40; ++i) {
        const QString madeUp = QStringLiteral("script%1").arg(i, 16, 10, QChar('0'));
        scripted += from(loopback(4), "POST", "api/order", orderBody("100001", madeUp)).status == 200 ? 1 : 0;
    }
    EXPECT_EQ(from(loopback(2), "GET", "api/search?q=%E6%99%B4").json["songs"].toArray().size(), 1);
    EXPECT_EQ(from(loopback(2), "POST", "api/order", orderBody("100002", phoneOf('g'), "客人")).status, 200);
    EXPECT_GE(AddToOrderList(home.state, "100003"), 0) << "the keypad orders on";
    EXPECT_EQ(scripted, GuestLimits::kOrdersPerMinute) << "a script's made-up ids share its address's limit";

    QTest::qWait(kRequestMs + 500);
    EXPECT_EQ(stillOpen(silent) + stillOpen(trickling), 0)
        << "what was let in was cut off at its deadline, trickle or not; the rest never got in";
    const int listening = stillOpen(streams);
    EXPECT_GE(listening, 1);
    EXPECT_LE(listening, ConnectionLimits().streamsPerPhone) << "one phone keeps only its newest live queues";

    trickle.stop();
    silent.clear();
    trickling.clear();
    streams.clear();
    EXPECT_TRUE(QTest::qWaitFor([&] { return ProcessWatch::openSockets() <= socketsBefore; }, 5000))
        << ProcessWatch::openSockets() << " sockets open, " << socketsBefore << " before";
    EXPECT_LT(ProcessWatch::residentBytes() - memoryBefore, 24 << 20) << "no memory held for the strangers";
}

TEST_F(PhoneHostile, ARequestHasADeadlineAndAnAnswerClosesWhatAskedToClose)
{
    // An address holds its share of the connections and not one more, however many it opens.
    const int share = ConnectionLimits().perAddress;
    const auto many = connections(share + 4, loopback(7));
    EXPECT_TRUE(QTest::qWaitFor([&] {
        return std::none_of(many.begin(), many.end(), [](const auto &s) { return s->state() == QAbstractSocket::ConnectingState; })
            && stillOpen(many) <= share;
    }, kRequestMs - 300));
    EXPECT_EQ(stillOpen(many), share);

    RawConnection trickler(port(), loopback(5));
    const QByteArray request = httpRequest("GET", "api/queue");
    QElapsedTimer sinceOpen;
    sinceOpen.start();
    for (int i = 0; i < request.size() && trickler.connected() && sinceOpen.elapsed() < 3 * kRequestMs; ++i) {
        trickler.write(request.mid(i, 1));
        QTest::qWait(100);
    }
    EXPECT_FALSE(trickler.connected()) << "a trickle does not extend the deadline";
    EXPECT_LT(sinceOpen.elapsed(), kRequestMs + 1000);

    const struct
    {
        const char *what;
        QByteArray request;
        bool closes;
    } cases[] = {
        {"HTTP/1.1", httpRequest("GET", "api/queue"), false},
        {"Connection: close", httpRequest("GET", "api/queue", {}, "Connection: close\r\n"), true},
        {"HTTP/1.0", httpRequest("GET", "api/queue").replace("HTTP/1.1", "HTTP/1.0"), true},
        {"HTTP/1.0 keep-alive", httpRequest("GET", "api/queue", {}, "Connection: keep-alive\r\n").replace("HTTP/1.1", "HTTP/1.0"), false},
        {"a refusal", "GET /not-the-token/ HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n", true},
    };
    for (const auto &c : cases) {
        RawConnection connection(port(), loopback(6));
        connection.write(c.request);
        EXPECT_NE(connection.answer().status, 0) << c.what;
        EXPECT_EQ(connection.closedWithin(500), c.closes) << c.what;
        if (!c.closes) {
            EXPECT_TRUE(connection.closedWithin(kRequestMs + 1000)) << c.what << ": idle after its answer";
        }
    }
}

TEST_F(PhoneHostile, TheServerAcceptsAgainAfterTheSystemRefusedItAConnection)
{
    // Another process holds the connections, so that only the jukebox's side runs out of files.
    QProcess holder;
    holder.start(QStringLiteral("python3"),
                 {QStringLiteral("-c"),
                  QStringLiteral("import socket,sys\nsys.stdin.readline()\n"
                                 "held=[socket.create_connection(('127.0.0.1',%1)) for _ in range(8)]\n"
                                 "print('held',flush=True)\nsys.stdin.readline()")
                      .arg(port())});
    ASSERT_TRUE(holder.waitForStarted(5000)) << "python3 (scripts/install-deps.sh installs it)";
    // The sanitizer build checks each kind of call once, with files of its own: once here,
    // before no file can be opened.
    holder.write(QByteArray());
    (void)holder.waitForReadyRead(0);
    rlimit files{};
    getrlimit(RLIMIT_NOFILE, &files);
    const int lowestFree = ::dup(0); // no descriptor can be made once the limit is the lowest free one
    ::close(lowestFree);
    const rlimit tight{rlim_t(lowestFree), files.rlim_max};
    setrlimit(RLIMIT_NOFILE, &tight);
    holder.write("go\n");
    const bool held = holder.waitForReadyRead(5000);
    QTest::qWait(300); // the server meets "too many open files"
    setrlimit(RLIMIT_NOFILE, &files);
    ASSERT_TRUE(held) << holder.readAllStandardError().toStdString();
    holder.write("done\n");
    holder.waitForFinished(5000);
    EXPECT_EQ(from(loopback(2), "GET", "api/queue").status, 200) << "accepting resumed";
}

} // namespace
