#include "phone/phone_server.h"

#include "core/database_error.h"
#include "phone/catalogue_pages.h"
#include "phone/cross_site.h"
#include "phone/guarded_tcp_server.h"
#include "phone/history_pages.h"
#include "phone/phone_address.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QFile>
#include <QHttpServerRequest>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTcpSocket>

// The page is compiled into this static library; make sure the linker keeps it.
static void initPageResource()
{
    Q_INIT_RESOURCE(page);
}

namespace {

using Status = QHttpServerResponder::StatusCode;
using Kind = PhoneRequest::Kind;

const QString kBusy = QStringLiteral("資料庫忙碌, 請稍後再試");
const QString kTooOften = QStringLiteral("點歌太頻繁, 請稍後再試");
const QByteArray kJson = QByteArrayLiteral("application/json; charset=utf-8");
// Nothing on the page comes from anywhere but the jukebox: the room may have no internet.
const QByteArray kPolicy = QByteArrayLiteral("default-src 'self'; img-src 'self' data:; frame-ancestors 'none'");

void send(QHttpServerResponder &responder, int status, const QByteArray &type, const QByteArray &body)
{
    responder.write(body,
                    {{"Content-Type", type},
                     {"Cache-Control", "no-store"},
                     {"X-Content-Type-Options", "nosniff"},
                     {"Referrer-Policy", "no-referrer"},
                     {"Content-Security-Policy", kPolicy}},
                    Status(status));
}

void sendJson(QHttpServerResponder &responder, int status, const QJsonObject &body)
{
    send(responder, status, kJson, QJsonDocument(body).toJson(QJsonDocument::Compact));
}

void sendAnswer(QHttpServerResponder &responder, const PhoneAnswer &answer)
{
    sendJson(responder, answer.status, answer.body);
}

QByteArray resource(const char *name)
{
    initPageResource();
    QFile file(QStringLiteral(":/phone/") + QLatin1String(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray methodName(QHttpServerRequest::Method method)
{
    switch (method) {
    case QHttpServerRequest::Method::Get:
        return QByteArrayLiteral("GET");
    case QHttpServerRequest::Method::Post:
        return QByteArrayLiteral("POST");
    default:
        return QByteArrayLiteral("OTHER");
    }
}

// Compares every character, so the time taken tells nothing of how much of a guess was right.
bool sameToken(QStringView a, QStringView b)
{
    if (a.size() != b.size())
        return false;
    char16_t difference = 0;
    for (qsizetype i = 0; i < a.size(); ++i)
        difference |= a[i].unicode() ^ b[i].unicode();
    return difference == 0;
}

// A header of the request by its name in any letter case; empty when absent.
QByteArray headerOf(const QHttpServerRequest &request, const QByteArray &name)
{
    for (const auto &[key, value] : request.headers()) {
        if (key.compare(name, Qt::CaseInsensitive) == 0)
            return value;
    }
    return {};
}

QString ownerActionsName(PhoneConfig::OwnerActions actions)
{
    switch (actions) {
    case PhoneConfig::OwnerActions::Pin:
        return QStringLiteral("pin");
    case PhoneConfig::OwnerActions::Open:
        return QStringLiteral("open");
    default:
        return QStringLiteral("off");
    }
}

QJsonArray songsJson(const SongPage &page)
{
    QJsonArray songs;
    for (const SongEntry &song : page.songs) {
        songs.append(QJsonObject{{QStringLiteral("num"), song.number},
                                 {QStringLiteral("title"), song.title},
                                 {QStringLiteral("singer"), song.singer}});
    }
    return songs;
}

QJsonObject pageJson(const SongPage &page, int number)
{
    return {{QStringLiteral("songs"), songsJson(page)}, {QStringLiteral("page"), number},
            {QStringLiteral("more"), page.more}};
}

QJsonObject pageJson(const SingerPage &page, int number)
{
    QJsonArray singers;
    for (const SingerEntry &singer : page.singers)
        singers.append(QJsonObject{{QStringLiteral("code"), singer.code}, {QStringLiteral("name"), singer.name}});
    return {{QStringLiteral("singers"), singers}, {QStringLiteral("page"), number}, {QStringLiteral("more"), page.more}};
}

} // namespace

PhoneServer::PhoneServer(PhoneConfig config, ToDesk toDesk)
    : m_config(std::move(config))
    , m_toDesk(std::move(toDesk))
    , m_db(m_config.dbPath)
    , m_stream(new EventStream(m_config.limits, this))
    , m_broadcast(new QTimer(this))
    , m_sweep(new QTimer(this))
    , m_addressCheck(new QTimer(this))
{
    m_written = m_config.waitForDisk ? 0 : std::numeric_limits<quint64>::max();
    m_clock.start();
    m_sinceBroadcast.start();
    m_broadcast->setSingleShot(true);
    connect(m_broadcast, &QTimer::timeout, this, &PhoneServer::broadcast);
    m_sweep->setInterval(1000);
    connect(m_sweep, &QTimer::timeout, this, &PhoneServer::expireAnswers);
    m_addressCheck->setInterval(kAddressCheckMs);
    connect(m_addressCheck, &QTimer::timeout, this, &PhoneServer::checkAddress);
}

PhoneServer::~PhoneServer() = default;

void PhoneServer::start()
{
    m_tcp = new GuardedTcpServer(m_config.limits, this);
    if (!m_tcp->listen(m_config.listen, m_config.port)) {
        const QString reason = m_tcp->errorString();
        qWarning("phone ordering cannot listen on port %d: %s", int(m_config.port), qPrintable(reason));
        emit failed(m_tcp->serverError() == QAbstractSocket::AddressInUseError
                        ? QStringLiteral("手機點歌無法啟動: 連接埠 %1 已被佔用").arg(m_config.port)
                        : QStringLiteral("手機點歌無法啟動: %1").arg(reason));
        return;
    }
    bind(m_tcp);
    m_config.port = m_tcp->serverPort(); // the port asked for, or the one given for port 0
    m_sweep->start();
    // The songs are read for the search box before the address is shown, not when the first
    // guest types.
    try {
        m_index.refresh(m_db);
    } catch (const DatabaseError &e) {
        qWarning("phone ordering cannot read the songs for searching yet: %s", qPrintable(e.message()));
    }
    m_addressCheck->start();
    checkAddress();
}

void PhoneServer::checkAddress()
{
    const QString url = PhoneAddress::url(PhoneAddress::host(m_config.listen), m_config.port, m_config.token);
    if (url == m_url && !url.isEmpty())
        return;
    m_url = url;
    emit addressChanged(url);
}

bool PhoneServer::handleRequest(const QHttpServerRequest &request, QTcpSocket *socket)
{
    GuardedTcpServer::requestComplete(socket, headerOf(request, "Connection"));
    QHttpServerResponder responder = makeResponder(request, socket);
    const QString path = request.url().path(QUrl::FullyEncoded);
    const QString prefix = QLatin1Char('/') + m_config.token + QLatin1Char('/');
    if (sameToken(path, QStringView(prefix).chopped(1))) {
        // The address typed without its last "/": the page's own links need it.
        responder.write({{"Location", prefix.toUtf8()}}, Status::Found);
        return true;
    }
    if (!sameToken(QStringView(path).left(prefix.size()), prefix)) {
        responder.write(Status::Forbidden);
        return true;
    }
    const QByteArray method = methodName(request.method());
    if (const std::optional<PhoneRefusal> refusal = crossSiteRefusal(
            method, headerOf(request, "Content-Type"), headerOf(request, "Origin"), headerOf(request, "Host"))) {
        sendAnswer(responder, PhoneAnswer::refused(refusal->status, refusal->message));
        return true;
    }
    const auto parsed = parsePhoneRequest(method, path.mid(prefix.size()), request.query(), request.body());
    if (const PhoneRefusal *refusal = std::get_if<PhoneRefusal>(&parsed)) {
        sendAnswer(responder, PhoneAnswer::refused(refusal->status, refusal->message));
        return true;
    }
    PhoneRequest phoneRequest = std::get<PhoneRequest>(parsed);
    phoneRequest.address = GuardedTcpServer::addressKey(request.remoteAddress());
    serve(std::move(phoneRequest), responder, socket);
    return true;
}

void PhoneServer::missingHandler(const QHttpServerRequest &, QTcpSocket *socket)
{
    socket->abort(); // every request is answered in handleRequest; this is never reached
}

void PhoneServer::serve(PhoneRequest request, QHttpServerResponder &responder, QTcpSocket *socket)
{
    switch (request.kind) {
    case Kind::Page:
        send(responder, 200, "text/html; charset=utf-8", resource("index.html"));
        return;
    case Kind::Script:
        send(responder, 200, "text/javascript; charset=utf-8", resource("app.js"));
        return;
    case Kind::Style:
        send(responder, 200, "text/css; charset=utf-8", resource("style.css"));
        return;
    case Kind::Info:
        sendJson(responder, 200, info(request));
        return;
    case Kind::Queue:
        send(responder, 200, kJson, viewJson().forPhone(request.phone));
        return;
    case Kind::Events:
        responder.writeStatusLine(Status::Ok);
        responder.writeHeaders({{"Content-Type", "text/event-stream"}, {"Cache-Control", "no-store"}});
        responder.writeBody(EventStream::opening(viewJson().forPhone(request.phone)));
        GuardedTcpServer::keepOpen(socket);
        m_stream->add(socket, request.phone, request.address);
        return;
    case Kind::Search:
    case Kind::KindSongs:
    case Kind::Singers:
    case Kind::SingerSongs:
    case Kind::Charts:
        if (!m_guests.allowRead(request.address, now()))
            sendAnswer(responder, PhoneAnswer::refused(429, QStringLiteral("查詢太頻繁, 請稍後再試")));
        else
            serveCatalogue(request, responder);
        return;
    default:
        handOver(std::move(request), responder, socket);
    }
}

void PhoneServer::serveCatalogue(const PhoneRequest &request, QHttpServerResponder &responder)
{
    try {
        switch (request.kind) {
        case Kind::Search:
            m_index.refresh(m_db);
            sendJson(responder, 200, pageJson(m_index.find(request.text, request.page), request.page));
            return;
        case Kind::KindSongs:
            sendJson(responder, 200,
                     pageJson(CataloguePages::songsOfKind(m_db, request.songKind, request.count, request.page),
                              request.page));
            return;
        case Kind::Singers:
            sendJson(responder, 200, pageJson(CataloguePages::singersOfGroup(m_db, request.group, request.page), request.page));
            return;
        case Kind::Charts:
            sendJson(responder, 200, HistoryPages::songs(m_db, request.period, QDateTime::currentSecsSinceEpoch()));
            return;
        default:
            sendJson(responder, 200, pageJson(CataloguePages::songsOfSinger(m_db, request.code, request.page), request.page));
            return;
        }
    } catch (const DatabaseError &e) {
        qWarning("phone page cannot read the catalogue: %s", qPrintable(e.message()));
        sendAnswer(responder, PhoneAnswer::refused(503, kBusy));
    }
}

QJsonObject PhoneServer::info(const PhoneRequest &request)
{
    return {{QStringLiteral("owner"), ownerActionsName(m_config.ownerActions)},
            {QStringLiteral("kinds"), QJsonArray::fromStringList(m_config.kindNames)},
            {QStringLiteral("groups"), QJsonArray{QStringLiteral("女歌手"), QStringLiteral("男歌手"), QStringLiteral("團體or其它")}},
            {QStringLiteral("tag"), request.phone.isEmpty() ? QString() : tagOf(request.phone)},
            {QStringLiteral("charts"), chartsShown()}};
}

bool PhoneServer::chartsShown()
{
    try {
        return HistoryPages::shown(m_db);
    } catch (const DatabaseError &) {
        return false;
    }
}

QString PhoneServer::tagOf(const QString &phone) const
{
    return QString::fromLatin1(
        QCryptographicHash::hash(m_config.token.toUtf8() + '/' + phone.toUtf8(), QCryptographicHash::Sha256)
            .toHex()
            .left(16));
}

qint64 PhoneServer::now() const
{
    return m_config.clock ? m_config.clock() : m_clock.elapsed();
}

std::optional<PhoneAnswer> PhoneServer::refuseChange(PhoneRequest &request)
{
    const qint64 time = now();
    if (request.kind == Kind::Order && !m_guests.allowOrder(request.address, request.phone, time))
        return PhoneAnswer::refused(429, kTooOften);
    request.owner = m_config.ownerActions == PhoneConfig::OwnerActions::Open;
    if (request.pin.isEmpty() || m_config.ownerActions != PhoneConfig::OwnerActions::Pin)
        return std::nullopt;
    // Counted here, as the guess arrives: a burst of guesses is refused past the limit unseen.
    if (m_pins.locked(request.address, time))
        return PhoneAnswer::refused(429, QStringLiteral("密碼錯誤太多次, 請一分鐘後再試"));
    if (!sameToken(request.pin, m_config.managerPin)) {
        m_pins.wrongGuess(request.address, time);
        return PhoneAnswer::refused(403, QStringLiteral("管理密碼錯誤"));
    }
    request.owner = true;
    return std::nullopt;
}

void PhoneServer::handOver(PhoneRequest request, QHttpServerResponder &responder, QTcpSocket *socket)
{
    if (std::optional<PhoneAnswer> refused = refuseChange(request)) {
        sendAnswer(responder, *refused);
        return;
    }
    const quint64 ticket = ++m_lastTicket;
    m_pending.emplace(ticket, Pending{std::move(responder), socket, m_clock.elapsed(), std::nullopt});
    m_toDesk(ticket, request);
}

void PhoneServer::answered(quint64 ticket, const PhoneAnswer &answer)
{
    const auto pending = m_pending.find(ticket);
    if (pending == m_pending.end())
        return;
    if (answer.revision > m_written && !m_unsaved) {
        pending->second.answer = answer;
        return;
    }
    finish(pending, answer);
}

void PhoneServer::queueWritten(quint64 revision)
{
    m_written = qMax(m_written, revision);
    unsavedChanged(false);
    for (auto it = m_pending.begin(); it != m_pending.end();) {
        const auto next = std::next(it);
        if (it->second.answer && it->second.answer->revision <= m_written)
            finish(it, *it->second.answer);
        it = next;
    }
}

void PhoneServer::queueFailed()
{
    unsavedChanged(true);
    for (auto it = m_pending.begin(); it != m_pending.end();) {
        const auto next = std::next(it);
        if (it->second.answer)
            finish(it, *it->second.answer);
        it = next;
    }
}

void PhoneServer::unsavedChanged(bool unsaved)
{
    if (unsaved == m_unsaved)
        return;
    m_unsaved = unsaved;
    m_viewJson.reset();
    broadcast();
}

void PhoneServer::finish(std::map<quint64, Pending>::iterator pending, const PhoneAnswer &answer)
{
    const QPointer<QTcpSocket> &socket = pending->second.socket;
    // A phone that went away meanwhile is not answered; its change stands.
    if (socket && socket->state() == QAbstractSocket::ConnectedState) {
        PhoneAnswer told = answer;
        // Done, but not on disk: the phone says so rather than wait.
        if (answer.revision > m_written)
            told.body.insert(QStringLiteral("kept"), false);
        sendAnswer(pending->second.responder, told);
    }
    m_pending.erase(pending);
}

void PhoneServer::expireAnswers()
{
    const qint64 now = m_clock.elapsed();
    for (auto it = m_pending.begin(); it != m_pending.end();) {
        const auto next = std::next(it);
        if (now - it->second.since > kAnswerTimeoutMs) {
            finish(it, PhoneAnswer::refused(503, it->second.answer ? QStringLiteral("已排入點歌單, 但暫時無法存檔")
                                                                   : kBusy));
        }
        it = next;
    }
}

void PhoneServer::setView(const QueueView &view)
{
    m_view = view;
    m_viewJson.reset();
    if (m_broadcast->isActive())
        return;
    m_broadcast->start(int(qMax<qint64>(0, kBroadcastGapMs - m_sinceBroadcast.elapsed())));
}

void PhoneServer::broadcast()
{
    m_sinceBroadcast.restart();
    m_stream->send(viewJson());
}

const QueueViewJson &PhoneServer::viewJson()
{
    if (!m_viewJson) {
        m_view.unsaved = m_unsaved;
        m_viewJson.emplace(m_view, [this](const QString &phone) { return tagOf(phone); });
    }
    return *m_viewJson;
}
