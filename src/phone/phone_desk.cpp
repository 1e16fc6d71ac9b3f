#include "phone/phone_desk.h"

#include "core/database_error.h"
#include "core/fair_turns.h"
#include "core/play_history.h"
#include "core/lookups.h"
#include "core/shared_state.h"
#include "phone/phone_request.h"

#include <QTimer>

namespace {

const QString kBusy = QStringLiteral("資料庫忙碌, 請稍後再試");

QJsonObject songJson(const QueueRow &row)
{
    return {{QStringLiteral("id"), row.id}, {QStringLiteral("title"), row.title}};
}


} // namespace

PhoneDesk::PhoneDesk(SharedState &state, PhoneConfig::OwnerActions ownerActions, QObject *parent)
    : QObject(parent)
    , m_state(state)
    , m_ownerActions(ownerActions)
    , m_subscription(state.OrderedSongs.subscribe([this] { scheduleView(); }))
{
}

PhoneDesk::~PhoneDesk() = default;

PhoneAnswer PhoneDesk::answer(const PhoneRequest &request)
{
    using Kind = PhoneRequest::Kind;
    try {
        switch (request.kind) {
        case Kind::Order:
            return order(request);
        case Kind::CutIn:
            return cutIn(request);
        case Kind::Remove:
            return remove(request);
        case Kind::Skip:
            return skip(request);
        case Kind::Pause:
            return pause(request);
        default:
            return PhoneAnswer::refused(404, QStringLiteral("找不到這個網頁"));
        }
    } catch (const DatabaseError &e) {
        qWarning("phone request refused: %s", qPrintable(e.message()));
        return PhoneAnswer::refused(503, kBusy);
    }
}

QueueView PhoneDesk::view() const
{
    return {m_state.OrderedSongs.rows(), playing(), playing() && m_player->isPaused()};
}

void PhoneDesk::setPlayer(std::optional<PhonePlayer> player)
{
    m_player = std::move(player);
    scheduleView();
}

void PhoneDesk::playerChanged()
{
    scheduleView();
}

void PhoneDesk::scheduleView()
{
    if (m_viewScheduled)
        return;
    m_viewScheduled = true;
    QTimer::singleShot(0, this, [this] {
        m_viewScheduled = false;
        emit viewChanged();
    });
}

PhoneAnswer PhoneDesk::order(const PhoneRequest &request)
{
    PlayQueue &queue = m_state.OrderedSongs;
    if (queue.length() >= PlayQueue::kCapacity - kKeypadReserve)
        return PhoneAnswer::refused(409, kQueueFullText);
    if (waitingFrom(request.address) >= kWaitingPerAddress)
        return PhoneAnswer::refused(429, QStringLiteral("你點的歌已有 %1 首在等, 請等唱完幾首再點").arg(kWaitingPerAddress));
    const int row = AddToOrderList(m_state, request.number, Orderer{request.name, request.phone});
    if (row == kSongNotFound)
        return PhoneAnswer::refused(404, QStringLiteral("沒這種歌!"));
    if (row == kQueueFull)
        return PhoneAnswer::refused(409, kQueueFullText);
    const QueueRow &ordered = queue.row(placeInTurn(row));
    m_addressOf.insert(ordered.id, request.address);
    emit guestOrdered(request.name, ordered.title);
    return PhoneAnswer::ok(songJson(ordered), queue.revision());
}

int PhoneDesk::placeInTurn(int row)
{
    if (!m_now)
        return row;
    PlayQueue &queue = m_state.OrderedSongs;
    std::vector<QueueRow> others = queue.rows();
    const QueueRow ordered = others[size_t(row)];
    others.erase(others.begin() + row);
    std::vector<qint64> queued;
    for (const QueueRow &r : others)
        queued.push_back(r.id);
    std::map<QString, int> played;
    try {
        played = PlayHistory::playsSince(m_state.db(), m_now() - 3600, queued);
    } catch (const DatabaseError &e) {
        qWarning("the turns of the last hour cannot be read, only the queue counts: %s", qPrintable(e.message()));
    }
    const qint64 target = FairTurns::rowFor(others, played, FairTurns::ordererOf(ordered));
    if (target < row)
        queue.moveForward(row, target, ordered.text);
    return int(target);
}

int PhoneDesk::waitingFrom(const QString &address)
{
    const std::vector<QueueRow> &rows = m_state.OrderedSongs.rows();
    // Songs that left the queue are forgotten now and then.
    if (m_addressOf.size() > 2 * qsizetype(rows.size()) + 64) {
        QHash<qint64, QString> queued;
        for (const QueueRow &row : rows) {
            if (const auto from = m_addressOf.constFind(row.id); from != m_addressOf.cend())
                queued.insert(row.id, *from);
        }
        m_addressOf.swap(queued);
    }
    int waiting = 0;
    for (size_t i = playing() ? 1 : 0; i < rows.size(); ++i)
        waiting += m_addressOf.value(rows[i].id) == address ? 1 : 0;
    return waiting;
}

std::optional<PhoneAnswer> PhoneDesk::refuseChange(const PhoneRequest &request, qint64 &row) const
{
    row = m_state.OrderedSongs.indexOf(request.id);
    if (row < 0)
        return PhoneAnswer::refused(404, QStringLiteral("這首歌已不在點歌單"));
    const bool own = m_state.OrderedSongs.row(row).by.phone == request.phone;
    if (!own && !request.owner)
        return PhoneAnswer::refused(403, QStringLiteral("只能改自己點的歌"));
    if (row == 0 && playing())
        return PhoneAnswer::refused(409, QStringLiteral("這首歌正在播放"));
    return std::nullopt;
}

// The menu's cut-in puts the song first; while the queue plays, the window over the song puts
// it right after the song playing.
PhoneAnswer PhoneDesk::cutIn(const PhoneRequest &request)
{
    qint64 row = -1;
    if (std::optional<PhoneAnswer> refused = refuseChange(request, row))
        return *refused;
    const qint64 target = playing() ? 1 : 0;
    if (row <= target)
        return PhoneAnswer::refused(409, QStringLiteral("這首歌已經是下一首了"));
    PlayQueue &queue = m_state.OrderedSongs;
    const QString number = queue.row(row).key;
    queue.moveForward(row, target, GetSongName(m_state, number) + QStringLiteral("--插播"));
    return PhoneAnswer::ok(songJson(queue.row(target)), queue.revision());
}

PhoneAnswer PhoneDesk::remove(const PhoneRequest &request)
{
    qint64 row = -1;
    if (std::optional<PhoneAnswer> refused = refuseChange(request, row))
        return *refused;
    PlayQueue &queue = m_state.OrderedSongs;
    const QJsonObject removed = songJson(queue.row(row));
    queue.removeAt(row);
    return PhoneAnswer::ok(removed, queue.revision());
}

std::optional<PhoneAnswer> PhoneDesk::refusePlayerAction(const PhoneRequest &request, bool pausedToo) const
{
    if (!request.owner)
        return PhoneAnswer::refused(403, m_ownerActions == PhoneConfig::OwnerActions::Pin
                                             ? QStringLiteral("請輸入管理密碼")
                                             : QStringLiteral("店家沒有開放用手機卡歌、暫停"));
    if (!playing() || !(m_player->isPlaying() || (pausedToo && m_player->isPaused())))
        return PhoneAnswer::refused(409, QStringLiteral("目前沒有歌曲在播放"));
    return std::nullopt;
}

PhoneAnswer PhoneDesk::skip(const PhoneRequest &request)
{
    if (std::optional<PhoneAnswer> refused = refusePlayerAction(request, false))
        return *refused;
    m_player->skip();
    return PhoneAnswer::ok();
}

PhoneAnswer PhoneDesk::pause(const PhoneRequest &request)
{
    if (std::optional<PhoneAnswer> refused = refusePlayerAction(request, true))
        return *refused;
    m_player->togglePause();
    return PhoneAnswer::ok({{QStringLiteral("paused"), m_player->isPaused()}});
}
