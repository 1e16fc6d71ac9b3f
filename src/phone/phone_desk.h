#pragma once

#include "phone/phone_answer.h"
#include "phone/phone_config.h"
#include "phone/phone_player.h"
#include "phone/queue_view.h"

#include <QHash>
#include <QObject>

#include <functional>
#include <memory>
#include <optional>

struct PhoneRequest;
struct SharedState;

// The jukebox's side of phone ordering, on the window thread: a phone's order, cut-in or
// deletion changes the play queue with the keypad's own rules (AddToOrderList, the cut-in
// of the menu or of the window over the song), and the owner's buttons reach the song
// playing. A guest may move or delete the songs of the phone that ordered them; the songs of
// others, skipping and pausing are the owner's (a request the server found to be the owner's).
// One address has at most kWaitingPerAddress songs waiting, and phones leave the last
// kKeypadReserve rows of the queue to the keypad, so no phone or script fills the queue
// against the room.
class PhoneDesk : public QObject
{
    Q_OBJECT

public:
    static constexpr int kWaitingPerAddress = 30;
    static constexpr int kKeypadReserve = 1000;

    PhoneDesk(SharedState &state, PhoneConfig::OwnerActions ownerActions, QObject *parent = nullptr);
    ~PhoneDesk() override;

    // Order, CutIn, Remove, Skip or Pause; any other request is not the desk's.
    PhoneAnswer answer(const PhoneRequest &request);
    QueueView view() const;

    // Fair turns (FairTurns = 1): each order goes to its orderer's turn (core/fair_turns.h),
    // counting the songs started in the last hour; now gives the time in seconds since 1970.
    void takeTurns(std::function<qint64()> now) { m_now = std::move(now); }

    // While the queue is played full screen; std::nullopt when the player closes.
    void setPlayer(std::optional<PhonePlayer> player);
    // The song playing started, stopped or paused: the phones are told.
    void playerChanged();

signals:
    // A phone's order went into the queue.
    void guestOrdered(const QString &name, const QString &title);
    // The queue or the song playing changed; several changes at once are told once.
    void viewChanged();

private:
    PhoneAnswer order(const PhoneRequest &request);
    PhoneAnswer cutIn(const PhoneRequest &request);
    PhoneAnswer remove(const PhoneRequest &request);
    PhoneAnswer skip(const PhoneRequest &request);
    PhoneAnswer pause(const PhoneRequest &request);
    // The queued song a guest may change, or the refusal; row is its index.
    std::optional<PhoneAnswer> refuseChange(const PhoneRequest &request, qint64 &row) const;
    // Skip and pause: the owner's, and only while a song plays (or, pausedToo, is paused).
    std::optional<PhoneAnswer> refusePlayerAction(const PhoneRequest &request, bool pausedToo) const;
    // Songs waiting (not playing) that phones at address ordered.
    int waitingFrom(const QString &address);
    bool playing() const { return m_player.has_value(); }
    void scheduleView();
    // Moves the order just appended at row to its orderer's turn; the row it is at.
    int placeInTurn(int row);

    SharedState &m_state;
    PhoneConfig::OwnerActions m_ownerActions;
    QHash<qint64, QString> m_addressOf; // queue id of a phone's order -> the address it came from
    std::optional<PhonePlayer> m_player;
    std::unique_ptr<PlayQueue::Subscription> m_subscription;
    bool m_viewScheduled = false;
    std::function<qint64()> m_now; // set when orders take turns
};
