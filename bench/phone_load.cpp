#include "phone_load.h"

#include <QElapsedTimer>
#include <QHostAddress>
#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QTcpSocket>
#include <QTimer>
#include <QUrl>

#include <functional>
#include <memory>

namespace {

// One keep-alive connection that sends a request and reads the answer's Content-Length bytes.
class Connection : public QObject
{
public:
    Connection(const QUrl &base, const QHostAddress &from)
        : m_base(base)
    {
        connect(&m_socket, &QTcpSocket::readyRead, this, [this] { read(); });
        m_socket.bind(from);
        m_socket.connectToHost(base.host(), quint16(base.port()));
    }

    void send(const QByteArray &method, const QString &path, const QByteArray &body,
              std::function<void(int status, const QByteArray &body)> done)
    {
        m_done = std::move(done);
        m_buffer.clear();
        QByteArray request = method + ' ' + (m_base.path() + path).toUtf8() + " HTTP/1.1\r\nHost: x\r\n";
        if (!body.isEmpty())
            request += "Content-Type: application/json\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\n";
        m_socket.write(request + "\r\n" + body);
    }

private:
    void read()
    {
        m_buffer += m_socket.readAll();
        const qsizetype headerEnd = m_buffer.indexOf("\r\n\r\n");
        if (headerEnd < 0 || !m_done)
            return;
        const qsizetype lengthAt = m_buffer.indexOf("Content-Length: ");
        const qsizetype lineEnd = m_buffer.indexOf("\r\n", lengthAt);
        const qsizetype length = lengthAt < 0 ? 0 : m_buffer.mid(lengthAt + 16, lineEnd - lengthAt - 16).toLongLong();
        if (m_buffer.size() < headerEnd + 4 + length)
            return;
        const int status = m_buffer.mid(9, 3).toInt();
        const auto done = std::exchange(m_done, nullptr);
        done(status, m_buffer.mid(headerEnd + 4, length));
    }

    QUrl m_base;
    QTcpSocket m_socket;
    QByteArray m_buffer;
    std::function<void(int, const QByteArray &)> m_done;
};

// A guest: the live queue open from the start, three searches as a title is typed letter by
// letter, a pause between them, then an order.
class SimulatedPhone : public QObject
{
public:
    SimulatedPhone(const QUrl &base, QString typed, QString number, int index, PhoneLoad::Result &result,
                   std::function<void()> done)
        : m_requests(base, addressOf(index))
        , m_typed(std::move(typed))
        , m_number(std::move(number))
        , m_id(QStringLiteral("benchphone%1").arg(index, 10, 10, QLatin1Char('0')))
        , m_result(result)
        , m_done(std::move(done))
    {
        connect(&m_stream, &QTcpSocket::readyRead, this, [this] {
            m_heard += m_stream.readAll();
            // Only the last whole queue counts.
            const qsizetype last = m_heard.lastIndexOf("data: {");
            if (last > 0 && m_heard.indexOf("\n\n", last) > 0)
                m_heard.remove(0, last);
        });
        connect(&m_stream, &QTcpSocket::connected, this, [this, base] {
            m_stream.write("GET " + base.path().toUtf8() + "api/events?phone=" + m_id.toUtf8() + " HTTP/1.1\r\nHost: x\r\n\r\n");
        });
        m_stream.bind(addressOf(index));
        m_stream.connectToHost(base.host(), quint16(base.port()));
    }

    // Each phone on an address of its own, as on a room's Wi-Fi: 127.0.1.1, 127.0.1.2, ...
    static QHostAddress addressOf(int index)
    {
        return QHostAddress(QStringLiteral("127.0.%1.%2").arg(1 + index / 250).arg(1 + index % 250));
    }

    void search(int letters)
    {
        if (letters > m_typed.size()) {
            order();
            return;
        }
        auto clock = std::make_shared<QElapsedTimer>();
        clock->start();
        const QString query = QString::fromLatin1(QUrl::toPercentEncoding(m_typed.left(letters)));
        m_requests.send("GET", "api/search?q=" + query, {}, [this, clock, letters](int, const QByteArray &) {
            m_result.searchMs.push_back(clock->nsecsElapsed() / 1e6);
            QTimer::singleShot(100 + QRandomGenerator::global()->bounded(300), this, [this, letters] { search(letters + 1); });
        });
    }

    // Whether the last queue the live connection brought holds this phone's song.
    bool sawOwnOrder() const
    {
        const qsizetype last = m_heard.lastIndexOf("data: {");
        const QJsonDocument queue = QJsonDocument::fromJson(m_heard.mid(last + 6).split('\n').value(0));
        for (const char *list : {"songs", "mine"}) {
            for (const QJsonValue &song : queue[QLatin1String(list)].toArray()) {
                if (song["id"].toInteger() == m_ordered)
                    return true;
            }
        }
        return false;
    }

private:
    void order()
    {
        const QJsonObject body{{"num", m_number}, {"name", "客人"}, {"phone", m_id}};
        m_requests.send("POST", "api/order", QJsonDocument(body).toJson(QJsonDocument::Compact),
                        [this](int status, const QByteArray &answer) {
                            const QJsonObject json = QJsonDocument::fromJson(answer).object();
                            m_ordered = status == 200 && json["ok"].toBool() ? json["id"].toInteger() : 0;
                            if (m_ordered)
                                m_result.ordered.insert(m_ordered);
                            else
                                ++m_result.refused;
                            m_done();
                        });
    }

    Connection m_requests;
    QTcpSocket m_stream;
    QByteArray m_heard;
    QString m_typed;
    QString m_number;
    QString m_id;
    qint64 m_ordered = 0;
    PhoneLoad::Result &m_result;
    std::function<void()> m_done;
};

} // namespace

PhoneLoad::PhoneLoad(QString base, QStringList numbers, int phones, QString searchCharacters)
    : m_base(std::move(base))
    , m_numbers(std::move(numbers))
    , m_phones(phones)
    , m_searchCharacters(std::move(searchCharacters))
{
}

void PhoneLoad::run()
{
    const QUrl base(m_base);
    QRandomGenerator random(20261206);
    QEventLoop loop;
    Connection page(base, QHostAddress::LocalHost);
    page.send("GET", QString(), {}, [&](int, const QByteArray &html) {
        m_result.pageBytes += html.size();
        page.send("GET", "app.js", {}, [&](int, const QByteArray &js) {
            m_result.pageBytes += js.size();
            page.send("GET", "style.css", {}, [&](int, const QByteArray &css) { m_result.pageBytes += css.size(); });
        });
    });

    int running = m_phones;
    std::vector<std::unique_ptr<SimulatedPhone>> phones;
    for (int p = 0; p < m_phones; ++p) {
        QString typed;
        for (int letter = 0; letter < 3; ++letter)
            typed += m_searchCharacters[random.bounded(int(m_searchCharacters.size()))];
        phones.push_back(std::make_unique<SimulatedPhone>(base, typed, m_numbers[random.bounded(int(m_numbers.size()))],
                                                          p, m_result, [&] {
                                                              // The last songs reach every phone within a second.
                                                              if (--running == 0)
                                                                  QTimer::singleShot(1000, &loop, &QEventLoop::quit);
                                                          }));
        SimulatedPhone *phone = phones.back().get();
        // The guests arrive over five seconds.
        QTimer::singleShot(random.bounded(5000), phone, [phone] { phone->search(1); });
    }
    loop.exec();
    for (const std::unique_ptr<SimulatedPhone> &phone : phones)
        m_result.sawOwnOrder += phone->sawOwnOrder() ? 1 : 0;
    emit finished();
}
