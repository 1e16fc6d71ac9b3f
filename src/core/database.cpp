#include "core/database.h"

#include "core/database_error.h"

#include <QFile>
#include <QHash>
#include <QSet>

#include <sqlite3.h>
#include <sys/stat.h>

#include <algorithm>

namespace {

// Statements kept prepared per connection; the program has a few dozen distinct ones.
constexpr int kPreparedLimit = 128;

QString sqliteMessage(sqlite3 *handle)
{
    return handle ? QString::fromUtf8(sqlite3_errmsg(handle)) : QStringLiteral("out of memory");
}

bool isBusy(int rc)
{
    const int primary = rc & 0xff;
    return primary == SQLITE_BUSY || primary == SQLITE_LOCKED;
}

bool isUnwritable(int rc)
{
    const int primary = rc & 0xff;
    return primary == SQLITE_FULL || primary == SQLITE_READONLY || primary == SQLITE_IOERR;
}

bool isUnshared(int rc)
{
    return rc == SQLITE_IOERR_SHMOPEN || rc == SQLITE_IOERR_SHMSIZE || rc == SQLITE_IOERR_SHMLOCK
        || rc == SQLITE_IOERR_SHMMAP;
}

[[noreturn]] void fail(sqlite3 *handle, int rc, const QString &path, const QString &sql)
{
    if (isUnshared(rc))
        throw CatalogueUnshared(QStringLiteral("資料庫無法共用 (%1): %2").arg(sqliteMessage(handle), path));
    if (isBusy(rc))
        throw CatalogueBusy(QStringLiteral("另一個程式正在使用資料庫 %1").arg(path));
    if (isUnwritable(rc))
        throw CatalogueUnwritable(QStringLiteral("資料庫無法寫入 (%1): %2").arg(sqliteMessage(handle), path));
    throw DatabaseError(QStringLiteral("資料庫錯誤: %1\n%2").arg(sqliteMessage(handle), sql));
}

struct FileIdentity
{
    dev_t device = 0;
    ino_t inode = 0;
    bool operator==(const FileIdentity &) const = default;
};

bool identify(const QString &path, FileIdentity *identity)
{
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return false;
    *identity = {st.st_dev, st.st_ino};
    return true;
}

} // namespace

// The open file with its prepared statements, oldest first in m_order.
class Database::Connection
{
public:
    Connection(const QString &path, Access access, int busyWaitMs)
    {
        if (!identify(path, &m_identity))
            throw DatabaseError(QStringLiteral("找不到資料庫檔案 %1").arg(path));
        const int flags = access == Access::ReadOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE;
        const int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &m_handle, flags, nullptr);
        if (rc != SQLITE_OK) {
            const QString problem = sqliteMessage(m_handle);
            sqlite3_close(m_handle);
            throw DatabaseError(QStringLiteral("無法開啟資料庫 %1: %2").arg(path, problem));
        }
        sqlite3_extended_result_codes(m_handle, 1);
        sqlite3_busy_timeout(m_handle, busyWaitMs);
        // A catalogue of tens of thousands of songs is a few tens of MB: let SQLite map it
        // and keep its pages instead of reading them again for every look-up. Every commit
        // reaches the disk before it returns, so a power cut loses no change said to be made.
        // What a savepoint may have to undo (a song of a bulk run) stays in memory instead of a
        // temporary file written page by page.
        sqlite3_exec(m_handle,
                     "PRAGMA cache_size = -32768; PRAGMA mmap_size = 268435456; PRAGMA synchronous = FULL; "
                     "PRAGMA temp_store = MEMORY",
                     nullptr, nullptr, nullptr);
    }
    ~Connection()
    {
        for (sqlite3_stmt *stmt : std::as_const(m_prepared))
            sqlite3_finalize(stmt);
        sqlite3_close(m_handle);
    }

    sqlite3 *handle() const { return m_handle; }
    bool isFile(const FileIdentity &identity) const { return identity == m_identity; }

    // The statement for sql, prepared once, running until release(). One already running
    // (the same query asked again while its rows are being walked) gets a fresh copy that
    // the caller owns.
    sqlite3_stmt *acquire(const QString &sql, const QString &path, bool *owned)
    {
        sqlite3_stmt *stmt = m_prepared.value(sql);
        *owned = stmt && m_running.contains(stmt);
        if (!stmt || *owned)
            stmt = prepare(sql, path);
        if (!m_prepared.contains(sql))
            keep(sql, stmt);
        m_running.insert(stmt);
        return stmt;
    }
    void release(sqlite3_stmt *stmt) { m_running.remove(stmt); }
    // A statement is being stepped: closing the connection would pull it away.
    bool isRunning() const { return !m_running.isEmpty(); }

private:
    sqlite3_stmt *prepare(const QString &sql, const QString &path)
    {
        const QByteArray utf8 = sql.toUtf8();
        sqlite3_stmt *stmt = nullptr;
        const int rc = sqlite3_prepare_v3(m_handle, utf8.constData(), int(utf8.size()), SQLITE_PREPARE_PERSISTENT,
                                          &stmt, nullptr);
        if (rc != SQLITE_OK || !stmt) {
            sqlite3_finalize(stmt);
            fail(m_handle, rc, path, sql);
        }
        return stmt;
    }

    // Keeps stmt for sql, letting go of the oldest kept statement that is not running when
    // the connection holds its limit. While all of them run (queries nested that deep) it
    // holds more for a while.
    void keep(const QString &sql, sqlite3_stmt *stmt)
    {
        if (m_order.size() >= kPreparedLimit) {
            const auto idle = std::find_if(m_order.begin(), m_order.end(), [this](const QString &kept) {
                return !m_running.contains(m_prepared.value(kept));
            });
            if (idle != m_order.end()) {
                sqlite3_finalize(m_prepared.take(*idle));
                m_order.erase(idle);
            }
        }
        m_order.append(sql);
        m_prepared.insert(sql, stmt);
    }

    sqlite3 *m_handle = nullptr;
    FileIdentity m_identity;
    QHash<QString, sqlite3_stmt *> m_prepared;
    QStringList m_order;
    QSet<sqlite3_stmt *> m_running; // handed out and not yet released, kept or owned
};

// A prepared statement with its values bound for one run; reset when the run ends.
class Database::Statement
{
public:
    Statement(Database &db, const QString &sql, SqlValues values)
        : Statement(db, sql, values.begin(), values.end())
    {
    }
    Statement(Database &db, const QString &sql, const SqlValue *begin, const SqlValue *end)
        : m_db(db)
        , m_sql(sql)
        , m_connection(db.connection())
    {
        m_handle = m_connection.handle();
        m_stmt = m_connection.acquire(sql, db.path(), &m_owned);
        try {
            int index = 1;
            for (const SqlValue *value = begin; value != end; ++value)
                bind(index++, *value);
        } catch (...) {
            finish();
            throw;
        }
    }
    ~Statement() { finish(); }
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;

    // True while there is a row to read.
    bool step()
    {
        const int rc = sqlite3_step(m_stmt);
        if (rc == SQLITE_ROW)
            return true;
        if (rc != SQLITE_DONE)
            fail(m_handle, sqlite3_reset(m_stmt), m_db.path(), m_sql);
        return false;
    }
    sqlite3_stmt *stmt() const { return m_stmt; }
    sqlite3 *handle() const { return m_handle; }

private:
    void finish()
    {
        m_connection.release(m_stmt);
        if (m_owned) {
            sqlite3_finalize(m_stmt);
            return;
        }
        sqlite3_reset(m_stmt);
        sqlite3_clear_bindings(m_stmt);
    }

    void bind(int index, const SqlValue &value)
    {
        int rc = SQLITE_OK;
        switch (value.type()) {
        case SqlValue::Type::Null:
            rc = sqlite3_bind_null(m_stmt, index);
            break;
        case SqlValue::Type::Integer:
            rc = sqlite3_bind_int64(m_stmt, index, value.integer());
            break;
        case SqlValue::Type::Real:
            rc = sqlite3_bind_double(m_stmt, index, value.real());
            break;
        case SqlValue::Type::Text: {
            const QByteArray utf8 = value.text().toUtf8();
            rc = sqlite3_bind_text64(m_stmt, index, utf8.constData(), sqlite3_uint64(utf8.size()), SQLITE_TRANSIENT,
                                     SQLITE_UTF8);
            break;
        }
        case SqlValue::Type::Blob:
            // SQLite binds a blob without bytes as NULL: an empty one is a zero-length blob.
            rc = value.bytes().isEmpty() ? sqlite3_bind_zeroblob(m_stmt, index, 0)
                                         : sqlite3_bind_blob64(m_stmt, index, value.bytes().constData(),
                                                               sqlite3_uint64(value.bytes().size()), SQLITE_TRANSIENT);
            break;
        }
        if (rc != SQLITE_OK)
            fail(m_handle, rc, m_db.path(), m_sql);
    }

    Database &m_db;
    QString m_sql;
    Connection &m_connection; // kept open while this statement runs
    sqlite3 *m_handle = nullptr;
    sqlite3_stmt *m_stmt = nullptr;
    bool m_owned = false;
};

namespace {

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
    case SQLITE_TEXT: {
        const char *bytes = reinterpret_cast<const char *>(sqlite3_column_text(stmt, column));
        cell.type = Recordset::CellType::Text;
        cell.offset = buffer.size();
        cell.size = sqlite3_column_bytes(stmt, column);
        buffer.append(bytes, cell.size);
        return;
    }
    case SQLITE_BLOB: {
        const char *bytes = static_cast<const char *>(sqlite3_column_blob(stmt, column));
        cell.type = Recordset::CellType::Blob;
        cell.offset = buffer.size();
        cell.size = sqlite3_column_bytes(stmt, column);
        buffer.append(bytes, cell.size);
        return;
    }
    default:
        cell.type = Recordset::CellType::Null;
    }
}

// Column names are read from the statement each run: SQLite prepares it again when the file
// changed under the program, and the columns may then stand in another order.
QStringList columnNames(sqlite3_stmt *stmt)
{
    QStringList names;
    const int columns = sqlite3_column_count(stmt);
    names.reserve(columns);
    for (int c = 0; c < columns; ++c)
        names.append(QString::fromUtf8(sqlite3_column_name(stmt, c)));
    return names;
}

} // namespace

int RowView::columnCount() const
{
    return sqlite3_column_count(m_stmt);
}

int RowView::columnIndex(QStringView name) const
{
    const QByteArray utf8 = name.toUtf8();
    for (int c = 0; c < columnCount(); ++c) {
        if (qstricmp(sqlite3_column_name(m_stmt, c), utf8.constData()) == 0)
            return c;
    }
    return -1;
}

QString RowView::text(int column) const
{
    const auto *bytes = reinterpret_cast<const char *>(sqlite3_column_text(m_stmt, column));
    return QString::fromUtf8(bytes, sqlite3_column_bytes(m_stmt, column));
}

qint64 RowView::integer(int column) const
{
    return sqlite3_column_int64(m_stmt, column);
}

bool RowView::isNull(int column) const
{
    return sqlite3_column_type(m_stmt, column) == SQLITE_NULL;
}

Database::Database(QString path, Access access)
    : m_path(std::move(path))
    , m_access(access)
{
}

Database::~Database() = default;

Database::Connection &Database::connection()
{
    // Inside a transaction the file cannot have been replaced under the lock. A walk over rows
    // still running goes on with the file it began on; the next statement after it looks again.
    if (m_connection && (inTransaction() || m_connection->isRunning()))
        return *m_connection;
    FileIdentity identity;
    if (!identify(m_path, &identity)) {
        m_connection.reset();
        throw DatabaseError(QStringLiteral("找不到資料庫檔案 %1").arg(m_path));
    }
    if (!m_connection || !m_connection->isFile(identity)) {
        m_connection.reset();
        m_connection = std::make_unique<Connection>(m_path, m_access, m_busyWaitMs);
    }
    return *m_connection;
}

bool Database::inTransaction() const
{
    return m_connection && sqlite3_get_autocommit(m_connection->handle()) == 0;
}

Recordset Database::OpenRecordset(const QString &sql, SqlValues values, int maxRows)
{
    Statement statement(*this, sql, values);
    sqlite3_stmt *stmt = statement.stmt();
    const int columns = sqlite3_column_count(stmt);
    // Room for the rows the caller takes at most, so a list is read without regrowing.
    const size_t expectedRows = maxRows > 0 ? size_t(maxRows) : 64;
    std::vector<Recordset::Cell> cells;
    cells.reserve(expectedRows * size_t(columns));
    QByteArray buffer;
    buffer.reserve(qsizetype(expectedRows) * 64);
    QStringList names;
    int rows = 0;
    for (; (maxRows < 0 || rows < maxRows) && statement.step(); ++rows) {
        if (rows == 0)
            names = columnNames(stmt);
        for (int c = 0; c < columns; ++c)
            readCell(stmt, c, cells.emplace_back(), buffer);
    }
    if (rows == 0)
        names = columnNames(stmt);
    return Recordset(std::move(names), std::move(cells), std::move(buffer));
}

void Database::forEachRow(const QString &sql, SqlValues values, const std::function<bool(const RowView &)> &onRow)
{
    Statement statement(*this, sql, values);
    const RowView row(statement.stmt());
    while (statement.step()) {
        if (!onRow(row))
            return;
    }
}

int Database::ExecuteSql(const QString &sql, SqlValues values)
{
    Statement statement(*this, sql, values);
    while (statement.step()) {
    }
    return sqlite3_changes(statement.handle());
}

int Database::ExecuteSql(const QString &sql, const QList<SqlValue> &values)
{
    Statement statement(*this, sql, values.constData(), values.constData() + values.size());
    while (statement.step()) {
    }
    return sqlite3_changes(statement.handle());
}

qint64 Database::lastInsertRowId() const
{
    return m_connection ? sqlite3_last_insert_rowid(m_connection->handle()) : 0;
}

void Database::close()
{
    m_connection.reset();
}

void Database::setBusyWait(int milliseconds)
{
    m_busyWaitMs = milliseconds;
    if (m_connection)
        sqlite3_busy_timeout(m_connection->handle(), milliseconds);
}

bool Database::checkpoint()
{
    // A full checkpoint waits for other programs' readers as long as the busy wait allows.
    Recordset rs = OpenRecordset(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
    return rs.value(0).toInt() == 0;
}

ReadTransaction::ReadTransaction(Database &db)
    : m_db(db)
{
    // Inside a transaction already (a nested read, or a change being made) nothing is begun.
    m_began = !m_db.inTransaction();
    if (m_began)
        m_db.ExecuteSql(QStringLiteral("BEGIN"));
}

ReadTransaction::~ReadTransaction()
{
    if (!m_began || !m_db.inTransaction())
        return;
    try {
        m_db.ExecuteSql(QStringLiteral("COMMIT"));
    } catch (const DatabaseError &) {
        // A read changes nothing: ending it cannot fail in a way worth reporting.
    }
}
