#include "core/database.h"

#include "core/database_error.h"
#include "core/sql_parameters.h"

#include <QFile>
#include <QHash>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>

#include <sqlite3.h>
#include <sys/stat.h>

// Connections are opened and owned by Qt SQL. Queries run on the connection's own SQLite
// handle: QSqlQuery turns every column of every row into a UTF-16 QVariant, which made the
// guests' list look-ups several times slower than the query itself.

namespace {

// Queries are also kept prepared, by their text with the values taken out: preparing costs
// more than running a look-up by number.
constexpr int kPreparedPerConnection = 64;

struct OpenConnection
{
    QString name;
    int pinned = 0; // open read transactions: the file is known not to have been replaced
    sqlite3 *handle = nullptr;
    dev_t device = 0;
    ino_t inode = 0;
    QHash<QString, sqlite3_stmt *> prepared;
    QHash<sqlite3_stmt *, QStringList> columnNames;
    QStringList preparedOrder; // oldest first
};

QHash<QString, OpenConnection> &openConnections()
{
    static QHash<QString, OpenConnection> connections;
    return connections;
}

int connectionSerial = 0;

void closeConnection(OpenConnection &connection)
{
    for (sqlite3_stmt *stmt : std::as_const(connection.prepared))
        sqlite3_finalize(stmt);
    connection.prepared.clear();
    connection.preparedOrder.clear();
    connection.columnNames.clear();
    {
        QSqlDatabase db = QSqlDatabase::database(connection.name, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(connection.name);
}

sqlite3 *handleOf(const QSqlDatabase &db)
{
    const QVariant handle = db.driver()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3 *const *>(handle.constData());
}

OpenConnection &openConnection(const QString &dbPath, const struct stat &st)
{
    const QString name = QStringLiteral("karaoke-%1").arg(++connectionSerial);
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
    db.setDatabaseName(dbPath);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
    sqlite3 *handle = db.open() ? handleOf(db) : nullptr;
    if (!handle) {
        const QString problem = db.lastError().text();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(name);
        throw DatabaseError(QStringLiteral("無法開啟資料庫 %1: %2").arg(dbPath, problem));
    }
    // A catalogue of tens of thousands of songs is a few tens of MB: let SQLite map it and
    // keep its pages, instead of reading them again for every look-up.
    sqlite3_exec(handle, "PRAGMA cache_size = -32768; PRAGMA mmap_size = 268435456", nullptr, nullptr, nullptr);
    return *openConnections().insert(dbPath, {name, 0, handle, st.st_dev, st.st_ino, {}, {}, {}});
}

// The connection to the file at dbPath, opened once and reopened when the file is replaced.
OpenConnection &connectionFor(const QString &dbPath)
{
    auto &connections = openConnections();
    auto it = connections.find(dbPath);
    if (it != connections.end() && it->pinned > 0)
        return *it;
    struct stat st {};
    if (::stat(QFile::encodeName(dbPath).constData(), &st) != 0 || !S_ISREG(st.st_mode))
        throw DatabaseError(QStringLiteral("找不到資料庫檔案 %1").arg(dbPath));
    if (it != connections.end()) {
        if ((it->device == st.st_dev && it->inode == st.st_ino))
            return *it;
        closeConnection(*it);
        connections.erase(it);
    }
    return openConnection(dbPath, st);
}

[[noreturn]] void fail(sqlite3 *handle, const QString &sql)
{
    throw DatabaseError(QStringLiteral("資料庫錯誤: %1\n%2").arg(QString::fromUtf8(sqlite3_errmsg(handle)), sql));
}

// A statement ready to run: cached ones are reset after use, the others finalized.
class Statement
{
public:
    Statement(OpenConnection &connection, const QString &sql)
        : m_handle(connection.handle)
        , m_sql(sql)
    {
        const ParameterizedSql p = parameterize(sql);
        if (p.values.isEmpty()) {
            m_stmt = prepare(sql);
            m_owned = true;
        } else {
            m_stmt = cached(connection, p.text);
            bind(p.values);
        }
    }
    ~Statement()
    {
        if (m_owned)
            sqlite3_finalize(m_stmt);
        else {
            sqlite3_reset(m_stmt);
            sqlite3_clear_bindings(m_stmt);
        }
    }
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;

    // True while there is a row to read.
    bool step()
    {
        const int rc = sqlite3_step(m_stmt);
        if (rc == SQLITE_ROW)
            return true;
        if (rc != SQLITE_DONE)
            fail(m_handle, m_sql);
        return false;
    }
    sqlite3_stmt *stmt() const { return m_stmt; }
    bool isCached() const { return !m_owned; }

private:
    sqlite3_stmt *prepare(const QString &text)
    {
        const QByteArray utf8 = text.toUtf8();
        sqlite3_stmt *stmt = nullptr;
        if (sqlite3_prepare_v2(m_handle, utf8.constData(), int(utf8.size()), &stmt, nullptr) != SQLITE_OK || !stmt) {
            sqlite3_finalize(stmt);
            fail(m_handle, m_sql);
        }
        return stmt;
    }

    sqlite3_stmt *cached(OpenConnection &connection, const QString &text)
    {
        if (sqlite3_stmt *stmt = connection.prepared.value(text))
            return stmt;
        sqlite3_stmt *stmt = prepare(text);
        if (connection.preparedOrder.size() >= kPreparedPerConnection) {
            sqlite3_stmt *oldest = connection.prepared.take(connection.preparedOrder.takeFirst());
            connection.columnNames.remove(oldest);
            sqlite3_finalize(oldest);
        }
        connection.preparedOrder.append(text);
        connection.prepared.insert(text, stmt);
        return stmt;
    }

    void bind(const QVariantList &values)
    {
        for (int i = 0; i < values.size(); ++i) {
            const QVariant &v = values[i];
            int rc = SQLITE_OK;
            if (v.typeId() == QMetaType::QString) {
                const QByteArray utf8 = v.toString().toUtf8();
                rc = sqlite3_bind_text(m_stmt, i + 1, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
            } else if (v.typeId() == QMetaType::Double) {
                rc = sqlite3_bind_double(m_stmt, i + 1, v.toDouble());
            } else {
                rc = sqlite3_bind_int64(m_stmt, i + 1, v.toLongLong());
            }
            if (rc != SQLITE_OK)
                fail(m_handle, m_sql);
        }
    }

    sqlite3 *m_handle;
    QString m_sql;
    sqlite3_stmt *m_stmt = nullptr;
    bool m_owned = false;
};

void readCell(sqlite3_stmt *stmt, int column, Recordset::Cell &cell, QByteArray &buffer)
{
    switch (sqlite3_column_type(stmt, column)) {
    case SQLITE_INTEGER:
        cell.type = Recordset::CellType::Integer;
        cell.integer = sqlite3_column_int64(stmt, column);
        return;
    case SQLITE_FLOAT:
        cell.type = Recordset::CellType::Real;
        cell.real = sqlite3_column_double(stmt, column);
        return;
    case SQLITE_TEXT:
    case SQLITE_BLOB: {
        const bool text = sqlite3_column_type(stmt, column) == SQLITE_TEXT;
        const char *bytes = text ? reinterpret_cast<const char *>(sqlite3_column_text(stmt, column))
                                 : static_cast<const char *>(sqlite3_column_blob(stmt, column));
        cell.type = text ? Recordset::CellType::Text : Recordset::CellType::Blob;
        cell.offset = buffer.size();
        cell.size = sqlite3_column_bytes(stmt, column);
        buffer.append(bytes, cell.size);
        return;
    }
    default:
        cell.type = Recordset::CellType::Null;
    }
}

QStringList columnNames(OpenConnection &connection, const Statement &statement)
{
    sqlite3_stmt *stmt = statement.stmt();
    auto it = connection.columnNames.constFind(stmt);
    if (it != connection.columnNames.constEnd())
        return *it;
    QStringList names;
    for (int c = 0; c < sqlite3_column_count(stmt); ++c)
        names.append(QString::fromUtf8(sqlite3_column_name(stmt, c)));
    if (statement.isCached())
        connection.columnNames.insert(stmt, names);
    return names;
}

} // namespace

Recordset OpenRecordset(const QString &sql, const QString &dbPath, int maxRows)
{
    OpenConnection &connection = connectionFor(dbPath);
    Statement statement(connection, sql);
    sqlite3_stmt *stmt = statement.stmt();
    const int columns = sqlite3_column_count(stmt);
    QStringList names = columnNames(connection, statement);
    // Room for the rows the caller takes at most, so a list is read without regrowing.
    const size_t expectedRows = maxRows > 0 ? size_t(maxRows) : 64;
    std::vector<Recordset::Cell> cells;
    cells.reserve(expectedRows * size_t(columns));
    QByteArray buffer;
    buffer.reserve(qsizetype(expectedRows) * 64);
    for (int rows = 0; (maxRows < 0 || rows < maxRows) && statement.step(); ++rows) {
        for (int c = 0; c < columns; ++c)
            readCell(stmt, c, cells.emplace_back(), buffer);
    }
    return Recordset(std::move(names), std::move(cells), std::move(buffer));
}

int ExecuteSql(const QString &sql, const QString &dbPath)
{
    OpenConnection &connection = connectionFor(dbPath);
    Statement statement(connection, sql);
    while (statement.step()) {
    }
    return sqlite3_changes(connection.handle);
}

ReadTransaction::ReadTransaction(const QString &dbPath)
    : m_dbPath(dbPath)
{
    OpenConnection &connection = connectionFor(m_dbPath);
    // Inside a transaction already (a nested read, or a change being made) nothing is begun.
    m_began = sqlite3_get_autocommit(connection.handle) != 0;
    if (m_began && sqlite3_exec(connection.handle, "BEGIN", nullptr, nullptr, nullptr) != SQLITE_OK)
        fail(connection.handle, QStringLiteral("BEGIN"));
    ++connection.pinned;
}

ReadTransaction::~ReadTransaction()
{
    auto &connections = openConnections();
    auto it = connections.find(m_dbPath);
    if (it == connections.end())
        return; // the connections were closed meanwhile, which ended the transaction
    --it->pinned;
    // A read changes nothing: ending it cannot fail in a way worth reporting.
    if (m_began)
        sqlite3_exec(it->handle, "COMMIT", nullptr, nullptr, nullptr);
}

void CloseDatabaseConnections()
{
    auto &connections = openConnections();
    for (OpenConnection &c : connections)
        closeConnection(c);
    connections.clear();
}
