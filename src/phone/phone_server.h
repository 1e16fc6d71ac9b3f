#pragma once

#include "core/database.h"
#include "phone/event_stream.h"
#include "phone/guest_limits.h"
#include "phone/phone_answer.h"
#include "phone/phone_config.h"
#include "phone/phone_request.h"
#include "phone/queue_view.h"
#include "phone/song_search_index.h"

#include <QAbstractHttpServer>
#include <QElapsedTimer>
#include <QHttpServerResponder>
#include <QPointer>
#include <QTimer>

#include <functional>
#include <map>
#include <optional>

class GuardedTcpServer;
class QTcpSocket;

// The HTTP server of phone ordering, on a thread of its own: every request must carry the
// token as the first part of its path (anything else gets 403 and nothing more), and no page
// of another site may act through a guest's browser; the page comes from the program's
// resources, searching and browsing read the catalogue through the server's own connection,
// the queue is sent live to every phone, and changes are handed to the desk on the window
// thread. What a guest may ask is limited as each request arrives, by its address (GuestLimits),
// and the PIN is checked here, each wrong one counted before it is answered (PinGuard). An
// answer that changed the queue goes out only once the queue is on disk, so every "ok"
// survives a crash; while the queue cannot be saved, it goes out at once and says so.
class PhoneServer : public QAbstractHttpServer
{
    Q_OBJECT

public:
    static constexpr int kAnswerTimeoutMs = 15000;
    static constexpr int kAddressCheckMs = 3000;
    // Changes that come close together reach the phones as one, this far apart at most.
    static constexpr int kBroadcastGapMs = 250;

    // How a change is handed to the desk; the desk's answer comes back through answered().
    using ToDesk = std::function<void(quint64 ticket, const PhoneRequest &request)>;

    PhoneServer(PhoneConfig config, ToDesk toDesk);
    ~PhoneServer() override;

    // On the server's thread: listens, then says listening() or failed().
    void start();
    void answered(quint64 ticket, const PhoneAnswer &answer);
    // The queue up to revision is on disk.
    void queueWritten(quint64 revision);
    // The queue could not be saved: changes are answered at once, as not kept, until it is.
    void queueFailed();
    void setView(const QueueView &view);

signals:
    // The address phones open (empty while this machine has no network), again when it changes.
    void addressChanged(const QString &url);
    void failed(const QString &problem);

protected:
    bool handleRequest(const QHttpServerRequest &request, QTcpSocket *socket) override;
    void missingHandler(const QHttpServerRequest &request, QTcpSocket *socket) override;

private:
    struct Pending
    {
        QHttpServerResponder responder;
        QPointer<QTcpSocket> socket;
        qint64 since;
        std::optional<PhoneAnswer> answer;
    };

    void serve(PhoneRequest request, QHttpServerResponder &responder, QTcpSocket *socket);
    void serveCatalogue(const PhoneRequest &request, QHttpServerResponder &responder);
    void handOver(PhoneRequest request, QHttpServerResponder &responder, QTcpSocket *socket);
    // The refusal of a change the guest may not ask for now; the PIN, when right, makes request the owner's.
    std::optional<PhoneAnswer> refuseChange(PhoneRequest &request);
    void finish(std::map<quint64, Pending>::iterator pending, const PhoneAnswer &answer);
    void unsavedChanged(bool unsaved);
    void expireAnswers();
    void checkAddress();
    void broadcast();
    const QueueViewJson &viewJson();
    QJsonObject info(const PhoneRequest &request);
    bool chartsShown();
    QString tagOf(const QString &phone) const;
    qint64 now() const;

    PhoneConfig m_config;
    ToDesk m_toDesk;
    GuardedTcpServer *m_tcp = nullptr;
    Database m_db;
    SongSearchIndex m_index;
    EventStream *m_stream;
    QueueView m_view;
    std::optional<QueueViewJson> m_viewJson; // made from m_view when first asked for
    QTimer *m_broadcast;
    QElapsedTimer m_sinceBroadcast;
    GuestLimits m_guests;
    PinGuard m_pins;
    std::map<quint64, Pending> m_pending;
    quint64 m_lastTicket = 0;
    quint64 m_written = 0;
    bool m_unsaved = false;
    QElapsedTimer m_clock;
    QTimer *m_sweep;
    QTimer *m_addressCheck;
    QString m_url;
};
