#pragma once

#include "core/queue_writer.h"
#include "phone/phone_desk.h"
#include "phone/phone_ordering.h"
#include "support/catalogue_home.h"
#include "support/fake_clock.h"
#include "support/fake_file_system.h"

#include <QJsonObject>
#include <QNetworkAccessManager>

#include <gtest/gtest.h>

#include <memory>

// What a phone got back: the status, the body and, when it is JSON, the object.
struct PhoneReply
{
    int status = 0;
    QByteArray body;
    QJsonObject json;
    QString error() const { return json.value(QStringLiteral("error")).toString(); }
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

    // The phone's requests; path follows the token ("api/queue").
    PhoneReply get(const QString &path);
    PhoneReply post(const QString &path, const QJsonObject &body);
    PhoneReply request(const QByteArray &method, const QString &absolutePath, const QByteArray &body = {});
    // A request sent and not waited for; wait() gets its answer.
    QNetworkReply *send(const QByteArray &method, const QString &absolutePath, const QByteArray &body = {});
    static PhoneReply wait(QNetworkReply *reply);
    PhoneReply order(const QString &number, const QString &phone, const QString &name = QStringLiteral("王小明"));
    static QByteArray orderBody(const QString &number, const QString &phone, const QString &name = QStringLiteral("王小明"));
    // The queue's songs as "number by name" lines, in order.
    QStringList queue() const;
    QStringList keptQueue();

    static QString phoneOf(char letter) { return QString(20, QLatin1Char(letter)); }

    FakeFileSystem fs;
    FakeClock clock;
    CatalogueHome home{fs, clock};
    std::unique_ptr<QueueWriter> writer;
    std::unique_ptr<PlayQueue::Subscription> keep;
    std::unique_ptr<PhoneOrdering> phone;
    QNetworkAccessManager network;
    QString base; // "http://127.0.0.1:port"
};
