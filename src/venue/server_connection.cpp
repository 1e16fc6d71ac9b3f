#include "venue/server_connection.h"

#include "catalogue/catalogue_store.h"

#include <QElapsedTimer>

#include <libpq-fe.h>
#include <poll.h>

namespace {

QString firstLine(const char *text)
{
    return QString::fromUtf8(text).trimmed().section(QLatin1Char('\n'), 0, 0).trimmed();
}

// The owner's libpq connection string first, so that the bounds after it hold whatever it says:
// a connection never waits longer than a few seconds, and a lost server is noticed.
PGconn *connectTo(const QString &connectionString)
{
    const QByteArray target = connectionString.toUtf8();
    const QByteArray timeout = QByteArray::number(ServerConnection::kConnectTimeoutSeconds);
    const char *keywords[] = {"dbname",     "connect_timeout", "client_encoding",     "fallback_application_name",
                              "keepalives", "keepalives_idle", "keepalives_interval", "keepalives_count",
                              "tcp_user_timeout", nullptr};
    const char *values[] = {target.constData(), timeout.constData(), "UTF8", "karaoke", "1", "5", "2", "3", "10000",
                            nullptr};
    return PQconnectdbParams(keywords, values, 1);
}

// How often a wait for an answer looks whether it was cancelled.
constexpr int kCancelSliceMs = 100;

void ignoreNotice(void *, const char *)
{
    // "relation already exists, skipping" and the like are no news to the owner.
}

QByteArray textOf(const SqlValue &value)
{
    switch (value.type()) {
    case SqlValue::Type::Null:
        return {};
    case SqlValue::Type::Integer:
        return QByteArray::number(value.integer());
    case SqlValue::Type::Real:
        return QByteArray::number(value.real(), 'g', 17);
    case SqlValue::Type::Text:
        return value.text().toUtf8();
    case SqlValue::Type::Blob:
        return value.bytes();
    }
    return {};
}

} // namespace

// Read committed, so that what a change reads under its lock is what was committed before it;
// floats written in full, so values come back as they were stored.
const char *const ServerConnection::kSession =
    "SET default_transaction_isolation = 'read committed'; SET default_transaction_read_only = off; "
    "SET extra_float_digits = 3; SET search_path = public; SET client_encoding = 'UTF8'; "
    "SET standard_conforming_strings = on; SET statement_timeout = 8000; SET lock_timeout = 0; "
    "SET idle_in_transaction_session_timeout = 60000";

QString unreachableMessage(const QString &detail)
{
    const QString line = detail.trimmed().section(QLatin1Char('\n'), 0, 0).trimmed();
    return line.isEmpty() ? QStringLiteral("無法連線到曲目伺服器") : QStringLiteral("無法連線到曲目伺服器\n") + line;
}

ServerRows::~ServerRows()
{
    PQclear(m_result);
}

int ServerRows::size() const
{
    return PQntuples(m_result);
}

bool ServerRows::isNull(int row, int column) const
{
    return PQgetisnull(m_result, row, column) != 0;
}

QString ServerRows::text(int row, int column) const
{
    return QString::fromUtf8(PQgetvalue(m_result, row, column), PQgetlength(m_result, row, column));
}

qint64 ServerRows::integer(int row, int column) const
{
    return QByteArray(PQgetvalue(m_result, row, column)).toLongLong();
}

SqlValue ServerRows::value(int row, int column, SqlValue::Type type) const
{
    if (isNull(row, column))
        return {};
    switch (type) {
    case SqlValue::Type::Null:
        return {};
    case SqlValue::Type::Integer:
        return integer(row, column);
    case SqlValue::Type::Real:
        return QByteArray(PQgetvalue(m_result, row, column)).toDouble();
    case SqlValue::Type::Text:
        return text(row, column);
    case SqlValue::Type::Blob:
        return SqlValue::blob(QByteArray(PQgetvalue(m_result, row, column), PQgetlength(m_result, row, column)));
    }
    return {};
}

ServerConnection::ServerConnection(const QString &connectionString, CancelFlag cancelled)
    : m_conn(connectTo(connectionString))
    , m_cancelled(cancelled ? std::move(cancelled) : std::make_shared<std::atomic<bool>>(false))
{
    if (!m_conn)
        throw CatalogueUnreachable(unreachableMessage({}));
    if (PQstatus(m_conn) != CONNECTION_OK) {
        const QString detail = firstLine(PQerrorMessage(m_conn));
        PQfinish(m_conn);
        throw CatalogueUnreachable(unreachableMessage(detail));
    }
    PQsetNoticeProcessor(m_conn, ignoreNotice, nullptr);
    run(QString::fromLatin1(kSession));
}

ServerConnection::~ServerConnection()
{
    PQfinish(m_conn);
}

bool ServerConnection::isOpen() const
{
    return m_conn && PQstatus(m_conn) == CONNECTION_OK;
}

void ServerConnection::giveUp(const QString &why)
{
    // The server rolls back what the connection had begun once it is closed.
    PQfinish(m_conn);
    m_conn = nullptr;
    if (*m_cancelled)
        throw CatalogueUnreachable(QStringLiteral("已取消寫入曲目伺服器"));
    throw CatalogueUnreachable(unreachableMessage(why.isEmpty() ? QStringLiteral("connection lost") : why));
}

// A long answer still arriving (a whole catalogue) is no hung server: the deadline counts from
// the last bytes that came.
void ServerConnection::awaitInput(const QString &sql, QElapsedTimer &silent)
{
    while (PQisBusy(m_conn)) {
        if (*m_cancelled)
            giveUp(QStringLiteral("cancelled"));
        if (silent.elapsed() > kStatementDeadlineMs)
            giveUp(QStringLiteral("no answer within %1 ms: %2").arg(kStatementDeadlineMs).arg(sql.left(80)));
        pollfd socket{PQsocket(m_conn), POLLIN, 0};
        const int ready = socket.fd < 0 ? -1 : ::poll(&socket, 1, kCancelSliceMs);
        if (ready < 0 || (ready > 0 && !PQconsumeInput(m_conn)))
            giveUp(QString::fromUtf8(PQerrorMessage(m_conn)));
        if (ready > 0)
            silent.restart();
    }
}

pg_result *ServerConnection::answer(const QString &sql)
{
    QElapsedTimer silent;
    silent.start();
    // Every result up to the end of the answer; the first failure, else the first result.
    pg_result *result = nullptr;
    for (;;) {
        awaitInput(sql, silent);
        pg_result *next = PQgetResult(m_conn);
        if (!next)
            return result;
        const bool failed = PQresultStatus(next) == PGRES_FATAL_ERROR;
        if (!result || (failed && PQresultStatus(result) != PGRES_FATAL_ERROR))
            std::swap(result, next);
        PQclear(next);
    }
}

ServerRows ServerConnection::checked(pg_result *result, const QString &sql)
{
    ServerRows rows(result);
    const ExecStatusType status = result ? PQresultStatus(result) : PGRES_FATAL_ERROR;
    if (status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK)
        return rows;
    const QString detail = firstLine(result ? PQresultErrorMessage(result) : PQerrorMessage(m_conn));
    if (!isOpen())
        throw CatalogueUnreachable(unreachableMessage(detail));
    throw DatabaseError(QStringLiteral("曲目伺服器錯誤: %1\n%2").arg(detail, sql));
}

ServerRows ServerConnection::exec(const QString &sql, const ServerValues &values)
{
    QList<QByteArray> texts;
    std::vector<const char *> pointers;
    texts.reserve(values.size());
    for (const SqlValue &value : values) {
        texts.append(textOf(value));
        pointers.push_back(value.type() == SqlValue::Type::Null ? nullptr : texts.last().constData());
    }
    if (!isOpen())
        giveUp(QStringLiteral("connection closed"));
    if (!PQsendQueryParams(m_conn, sql.toUtf8().constData(), int(pointers.size()), nullptr, pointers.data(), nullptr,
                           nullptr, 0))
        giveUp(QString::fromUtf8(PQerrorMessage(m_conn)));
    return checked(answer(sql), sql);
}

void ServerConnection::run(const QString &sql)
{
    if (!isOpen())
        giveUp(QStringLiteral("connection closed"));
    if (!PQsendQuery(m_conn, sql.toUtf8().constData()))
        giveUp(QString::fromUtf8(PQerrorMessage(m_conn)));
    checked(answer(sql), sql);
}

bool ServerConnection::waitForNotification(int timeoutMs)
{
    auto take = [this] {
        bool any = false;
        while (PGnotify *notify = PQnotifies(m_conn)) {
            PQfreemem(notify);
            any = true;
        }
        return any;
    };
    if (take())
        return true;
    pollfd socket{PQsocket(m_conn), POLLIN, 0};
    if (socket.fd < 0)
        throw CatalogueUnreachable(unreachableMessage(QString::fromUtf8(PQerrorMessage(m_conn))));
    if (*m_cancelled)
        giveUp(QStringLiteral("cancelled"));
    if (::poll(&socket, 1, timeoutMs) <= 0)
        return false;
    if (!PQconsumeInput(m_conn) || !isOpen())
        throw CatalogueUnreachable(unreachableMessage(QString::fromUtf8(PQerrorMessage(m_conn))));
    return take();
}

ServerTransaction::ServerTransaction(ServerConnection &server, const QString &begin)
    : m_server(server)
{
    m_server.run(begin);
}

ServerTransaction::~ServerTransaction()
{
    if (!m_open || !m_server.isOpen())
        return;
    try {
        m_server.run(QStringLiteral("ROLLBACK"));
    } catch (const DatabaseError &) {
        // The server ends a transaction whose connection is gone by itself.
    }
}

void ServerTransaction::commit()
{
    m_server.run(QStringLiteral("COMMIT"));
    m_open = false;
}
