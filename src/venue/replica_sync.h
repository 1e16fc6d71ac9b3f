#pragma once

#include "core/worker_thread.h"

#include <QString>

#include <functional>

class RoomCopy;
class ServerConnection;

// Keeps a room's copy following the venue's catalogue server, on a thread of its own
// (core/worker_thread.h), never on the window thread: it applies what changed at start and
// whenever the server announces a
// change (LISTEN), gathering a burst of changes for a moment into one batch. A lost or
// unreachable server is tried again with growing pauses, and the copy catches up on return.
class ReplicaSync
{
public:
    static constexpr int kGatherMs = 150;
    static constexpr int kFirstRetryMs = 500;
    static constexpr int kLastRetryMs = 8000;

    // Called on the sync thread with an empty text while the copy follows the server, and
    // with the reason in one line while it does not; only when that changes.
    using NoticeHandler = std::function<void(const QString &notice)>;
    // Called on the sync thread after each batch applied.
    using AppliedHandler = std::function<void()>;

    ReplicaSync(QString connectionString, RoomCopy &copy, NoticeHandler onNotice, AppliedHandler onApplied = {});
    ~ReplicaSync();
    ReplicaSync(const ReplicaSync &) = delete;
    ReplicaSync &operator=(const ReplicaSync &) = delete;

private:
    void run();
    void follow(ServerConnection &server);
    void catchUp(ServerConnection &server);
    // The notice on the screen, the whole reason in the log.
    void tell(const QString &notice, const QString &reason);

    QString m_connectionString;
    RoomCopy &m_copy;
    NoticeHandler m_onNotice;
    AppliedHandler m_onApplied;
    QString m_notice = QStringLiteral("?");
    WorkerThread m_worker;
};

// The one line a room shows while its copy does not follow the server: the first line of the
// reason (the owner's; the rest is for the log), and that the room plays from its own copy.
QString copyNotice(const QString &problem);
