#pragma once

#include "core/recordset.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <functional>
#include <initializer_list>
#include <memory>

struct sqlite3_stmt;

// One value bound to a "?" of a statement. A typed "%", "_" or apostrophe is just a character.
class SqlValue
{
public:
    enum class Type : unsigned char { Null, Integer, Real, Text, Blob };

    SqlValue() = default;
    SqlValue(int value) : m_type(Type::Integer), m_integer(value) {}
    SqlValue(qint64 value) : m_type(Type::Integer), m_integer(value) {}
    SqlValue(double value) : m_type(Type::Real), m_real(value) {}
    SqlValue(const QString &value) : m_type(Type::Text), m_text(value) {}
    SqlValue(const char *) = delete; // say QStringLiteral: a char* would become a bool
    // Bytes, stored as a blob (an empty one too: never as NULL).
    static SqlValue blob(QByteArray bytes)
    {
        SqlValue value;
        value.m_type = Type::Blob;
        value.m_bytes = std::move(bytes);
        return value;
    }

    Type type() const { return m_type; }
    qint64 integer() const { return m_integer; }
    double real() const { return m_real; }
    const QString &text() const { return m_text; }
    const QByteArray &bytes() const { return m_bytes; }

private:
    Type m_type = Type::Null;
    qint64 m_integer = 0;
    double m_real = 0;
    QString m_text;
    QByteArray m_bytes;
};

using SqlValues = std::initializer_list<SqlValue>;

// The current row of a query while forEachRow walks it; valid only inside the callback.
class RowView
{
public:
    explicit RowView(sqlite3_stmt *stmt) : m_stmt(stmt) {}
    int columnCount() const;
    // The column of that name (case ignored), or -1.
    int columnIndex(QStringView name) const;
    QString text(int column) const;
    qint64 integer(int column) const;
    bool isNull(int column) const;

private:
    sqlite3_stmt *m_stmt;
};

// The catalogue file: one connection, opened on first use and again when the file at the path
// has been replaced, and every statement prepared once and kept. A query is written with "?"
// for each value and the values beside it:
//
//     Recordset rs = db.OpenRecordset(QStringLiteral("SELECT * FROM song WHERE song_num = ?"), {songNum});
//     db.ExecuteSql(QStringLiteral("DELETE FROM song WHERE song_num = ?"), {songNum});
//
// Every call throws DatabaseError when the statement fails, and CatalogueBusy when another
// program holds the file's lock for longer than the busy wait.
class Database
{
public:
    static constexpr int kBusyWaitMs = 300;

    // ReadOnly never writes the file, not even to recover it after a crash.
    enum class Access : unsigned char { ReadWrite, ReadOnly };

    explicit Database(QString path, Access access = Access::ReadWrite);
    ~Database();
    Database(const Database &) = delete;
    Database &operator=(const Database &) = delete;

    const QString &path() const { return m_path; }

    // All rows (at most maxRows when it is not negative) read at once.
    Recordset OpenRecordset(const QString &sql, SqlValues values = {}, int maxRows = -1);
    // Rows handed over one at a time, for reads too large to hold (a whole song book);
    // onRow returns false to stop early.
    void forEachRow(const QString &sql, SqlValues values, const std::function<bool(const RowView &)> &onRow);
    // Runs a statement; returns the number of rows it changed.
    int ExecuteSql(const QString &sql, SqlValues values = {});
    // The same, with values gathered at run time.
    int ExecuteSql(const QString &sql, const QList<SqlValue> &values);
    // The rowid given by the last INSERT on this connection (a new singer's code).
    qint64 lastInsertRowId() const;

    // Closes the connection and its statements; the next call opens the file again.
    void close();
    // How long a statement waits for another program's lock before CatalogueBusy.
    void setBusyWait(int milliseconds);
    // Copies every change kept in the write-ahead log into the file itself and empties the log,
    // so that the file alone is the whole catalogue; false when a reader of another program kept
    // part of the log.
    bool checkpoint();

private:
    friend class ScopedTransaction;
    friend class ReadTransaction;
    class Connection;
    class Statement;

    Connection &connection();
    bool inTransaction() const;

    QString m_path;
    Access m_access;
    int m_busyWaitMs = kBusyWaitMs;
    std::unique_ptr<Connection> m_connection;
};

// Several look-ups read as one: they see the same catalogue, and the file is locked once.
class ReadTransaction
{
public:
    explicit ReadTransaction(Database &db);
    ~ReadTransaction();
    ReadTransaction(const ReadTransaction &) = delete;
    ReadTransaction &operator=(const ReadTransaction &) = delete;

private:
    Database &m_db;
    bool m_began = false;
};
