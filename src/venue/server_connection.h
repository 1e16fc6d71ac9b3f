#pragma once

#include "core/database.h"

#include <QList>
#include <QString>

#include <atomic>
#include <memory>
#include <utility>

class QElapsedTimer;
struct pg_conn;
struct pg_result;

using ServerValues = QList<SqlValue>;

// The rows one statement on the catalogue server gave.
class ServerRows
{
public:
    explicit ServerRows(pg_result *result) : m_result(result) {}
    ~ServerRows();
    ServerRows(ServerRows &&other) noexcept : m_result(std::exchange(other.m_result, nullptr)) {}
    ServerRows(const ServerRows &) = delete;
    ServerRows &operator=(const ServerRows &) = delete;

    int size() const;
    bool isNull(int row, int column) const;
    QString text(int row, int column) const;
    qint64 integer(int row, int column) const;
    // The cell as SQLite stores it: empty, or a value of the type given.
    SqlValue value(int row, int column, SqlValue::Type type) const;

private:
    pg_result *m_result;
};

// One connection to the venue's catalogue server, made from the owner's connection string
// (CatalogueServer of Setting.ini), with the program's own session (kSession) whatever the
// server or the string says. Connecting gives up after a few seconds, and a server that sends
// nothing of a statement's answer for kStatementDeadlineMs is a lost one: a hung server holds
// nothing of ours for longer. Every call throws CatalogueUnreachable when the server cannot be
// reached, the connection is lost or cancelled, and DatabaseError when the server refuses a
// statement.
class ServerConnection
{
public:
    static constexpr int kConnectTimeoutSeconds = 5;
    // The server stops a statement itself first; a server that does not answer at all is given up.
    static constexpr int kStatementTimeoutMs = 8000;
    static constexpr int kStatementDeadlineMs = 10000;
    // The session every connection sets after connecting, whatever the server's defaults.
    static const char *const kSession;

    // Set from any thread, a cancel flag ends the statement under way (and every later one) at
    // once with CatalogueUnreachable and closes the connection; what was not committed is not kept.
    using CancelFlag = std::shared_ptr<std::atomic<bool>>;

    explicit ServerConnection(const QString &connectionString, CancelFlag cancelled = {});
    ~ServerConnection();
    ServerConnection(const ServerConnection &) = delete;
    ServerConnection &operator=(const ServerConnection &) = delete;

    // One statement, its values bound to $1, $2 ... as text.
    ServerRows exec(const QString &sql, const ServerValues &values = {});
    // Several statements without values, sent at once.
    void run(const QString &sql);
    // Waits up to timeoutMs for a NOTIFY of a channel this connection listens to; true when
    // at least one arrived (all that arrived are taken).
    bool waitForNotification(int timeoutMs);
    bool isOpen() const;

private:
    ServerRows checked(pg_result *result, const QString &sql);
    // Waits for the answer of what was sent, within the deadline; nullptr when none came.
    pg_result *answer(const QString &sql);
    void awaitInput(const QString &sql, QElapsedTimer &silent);
    void giveUp(const QString &why);

    pg_conn *m_conn = nullptr;
    CancelFlag m_cancelled;
};

// A transaction on the server; rolled back unless commit() is called.
class ServerTransaction
{
public:
    explicit ServerTransaction(ServerConnection &server, const QString &begin = QStringLiteral("BEGIN"));
    ~ServerTransaction();
    ServerTransaction(const ServerTransaction &) = delete;
    ServerTransaction &operator=(const ServerTransaction &) = delete;
    void commit();

private:
    ServerConnection &m_server;
    bool m_open = true;
};

// "無法連線到曲目伺服器"; what went wrong goes to the log, not to the screen.
QString unreachableMessage(const QString &detail);
