#include "database.h"

#include "database_error.h"

#include <QFileInfo>
#include <QHash>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include <sys/stat.h>

namespace {

// Opening SQLite and reading its schema costs far more than a small look-up, so one
// connection per file is kept open. It is reopened when the file at the path is replaced.
struct OpenConnection
{
    QString name;
    dev_t device = 0;
    ino_t inode = 0;
};

QHash<QString, OpenConnection> &openConnections()
{
    static QHash<QString, OpenConnection> connections;
    return connections;
}

int connectionSerial = 0;

void closeConnection(const QString &name)
{
    {
        QSqlDatabase db = QSqlDatabase::database(name, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
}

QSqlDatabase connectionFor(const QString &dbPath)
{
    struct stat st {};
    if (::stat(QFile::encodeName(dbPath).constData(), &st) != 0 || !S_ISREG(st.st_mode))
        throw DatabaseError(QStringLiteral("找不到資料庫檔案 %1").arg(dbPath));

    auto &connections = openConnections();
    auto it = connections.find(dbPath);
    if (it != connections.end()) {
        if (it->device == st.st_dev && it->inode == st.st_ino)
            return QSqlDatabase::database(it->name, false);
        closeConnection(it->name);
        connections.erase(it);
    }

    const QString name = QStringLiteral("karaoke-%1").arg(++connectionSerial);
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
    db.setDatabaseName(dbPath);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
    if (!db.open()) {
        const QString problem = db.lastError().text();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(name);
        throw DatabaseError(QStringLiteral("無法開啟資料庫 %1: %2").arg(dbPath, problem));
    }
    connections.insert(dbPath, {name, st.st_dev, st.st_ino});
    return db;
}

QSqlQuery run(const QString &sql, const QString &dbPath, bool forwardOnly)
{
    QSqlQuery query(connectionFor(dbPath));
    query.setForwardOnly(forwardOnly);
    if (!query.exec(sql))
        throw DatabaseError(QStringLiteral("資料庫錯誤: %1\n%2").arg(query.lastError().text(), sql));
    return query;
}

} // namespace

Recordset OpenRecordset(const QString &sql, const QString &dbPath, int maxRows)
{
    QSqlQuery query = run(sql, dbPath, true);
    const QSqlRecord record = query.record();
    const int columns = record.count();
    QStringList names;
    names.reserve(columns);
    for (int c = 0; c < columns; ++c)
        names.append(record.fieldName(c));
    std::vector<QVariant> cells;
    for (int rows = 0; (maxRows < 0 || rows < maxRows) && query.next(); ++rows) {
        for (int c = 0; c < columns; ++c)
            cells.push_back(query.value(c));
    }
    if (query.lastError().isValid())
        throw DatabaseError(QStringLiteral("資料庫錯誤: %1\n%2").arg(query.lastError().text(), sql));
    return Recordset(std::move(names), std::move(cells));
}

int ExecuteSql(const QString &sql, const QString &dbPath)
{
    return run(sql, dbPath, true).numRowsAffected();
}

void CloseDatabaseConnections()
{
    auto &connections = openConnections();
    for (const OpenConnection &c : std::as_const(connections))
        closeConnection(c.name);
    connections.clear();
}
