#pragma once

#include "core/database.h"

#include <QList>
#include <QString>

#include <utility>

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
// (CatalogueServer of Setting.ini). Connecting gives up after a few seconds. Every call throws
// CatalogueUnreachable when the server cannot be reached or the connection is lost, and
// DatabaseError when the server refuses a statement.
class ServerConnection
{
public:
    static constexpr int kConnectTimeoutSeconds = 5;

    explicit ServerConnection(const QString &connectionString);
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

    pg_conn *m_conn = nullptr;
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

// "無法連線到曲目伺服器" with the first line of what went wrong.
QString unreachableMessage(const QString &detail);
