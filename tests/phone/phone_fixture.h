#pragma once

#include "core/queue_writer.h"
#include "phone/phone_desk.h"
#include "phone/phone_ordering.h"
#include "support/catalogue_home.h"
#include "support/fake_clock.h"
#include "support/fake_file_system.h"

#include <QHostAddress>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QTcpSocket>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

// What a phone got back: the status, the headers, the body and, when it is JSON, the object.
struct PhoneReply
{
    int status = 0;
    QByteArray headers;
    QByteArray body;
    QJsonObject json;
    QString error() const { return json.value(QStringLiteral("error")).toString(); }
};

// One connection as a browser on another phone makes it: from a loopback address of the
// test's choosing (127.0.0.2 is another phone than 127.0.0.1; Linux answers on all of 127/8),
// the request written as bytes, the answer read by its Content-Length.
class RawConnection
{
public:
    RawConnection(quint16 port, const QHostAddress &from);
    bool connected() const { return m_socket.state() == QAbstractSocket::ConnectedState; }
    void write(const QByteArray &bytes);
    // The next whole answer, or status 0 when none came within ms or the server closed first.
    PhoneReply answer(int ms = 5000);
    // Whether the server closed the connection within ms.
    bool closedWithin(int ms);
    QTcpSocket &socket() { return m_socket; }

private:
    QTcpSocket m_socket;
    QByteArray m_buffer;
};

// The song playing, as the owner's buttons reach it, recording what they asked.
struct FakePhonePlayer
{
    bool playing = true;
    bool paused = false;
    int skips = 0;
    PhonePlayer lend()
    {
        return {[this] { return playing; }, [this] { return paused; }, [this] { ++skips; },
                [this] { paused = !paused; }};
    }
};

// A started program folder with a few songs, its queue kept on disk, and the phone server
// listening on 127.0.0.1 on a free port, reached over real HTTP.
class PhoneFixture : public ::testing::Test
{
protected:
    static inline const QString kToken = QStringLiteral("Test-Token_42");

    PhoneFixture();
    ~PhoneFixture() override;
    void SetUp() override;
    // Starts the server again on the same program folder, its settings changed first by change.
    void restartPhones(const std::function<void(PhoneConfig &)> &change);
    // Starts the server on another started program folder, whose queue writer keeps its queue.
    void startPhonesOn(SharedState &state, QueueWriter *queueWriter, const std::function<void(PhoneConfig &)> &change);

    // The phone's requests; path follows the token ("api/queue").
    PhoneReply get(const QString &path);
    PhoneReply post(const QString &path, const QJsonObject &body);
    PhoneReply request(const QByteArray &method, const QString &absolutePath, const QByteArray &body = {});
    // A request sent and not waited for; wait() gets its answer.
    QNetworkReply *send(const QByteArray &method, const QString &absolutePath, const QByteArray &body = {});
    static PhoneReply wait(QNetworkReply *reply);
    PhoneReply order(const QString &number, const QString &phone, const QString &name = QStringLiteral("王小明"));
    static QByteArray orderBody(const QString &number, const QString &phone, const QString &name = QStringLiteral("王小明"));
    // A request as bytes, as a browser sends it; path follows the token. headers are extra lines.
    QByteArray httpRequest(const QByteArray &method, const QString &path, const QByteArray &body = {},
                           const QByteArray &headers = {}) const;
    // One request on a connection of its own from the address from.
    PhoneReply from(const QHostAddress &from, const QByteArray &method, const QString &path,
                    const QByteArray &body = {}, const QByteArray &headers = {});
    quint16 port() const;
    // The queue's songs as "number by name" lines, in order.
    QStringList queue() const;
    QStringList keptQueue();

    static QString phoneOf(char letter) { return QString(20, QLatin1Char(letter)); }
    static QHostAddress loopback(int last) { return QHostAddress(QStringLiteral("127.0.0.%1").arg(last)); }

    FakeFileSystem fs;
    FakeClock clock;
    CatalogueHome home{fs, clock};
    std::unique_ptr<QueueWriter> writer;
    std::unique_ptr<PlayQueue::Subscription> keep;
    std::unique_ptr<PhoneOrdering> phone;
    QNetworkAccessManager network;
    QString base; // "http://127.0.0.1:port"
};
