#include "core/catalogue_file.h"

#include "core/database.h"
#include "core/database_error.h"
#include "core/scoped_transaction.h"

#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

// The schema files are compiled into this static library; make sure the linker keeps them.
static void initSchemaResource()
{
    Q_INIT_RESOURCE(schema);
}

namespace {

const QStringList kSongColumns = {"song_num",         "song_kind",       "song_name",    "song_text_count",
                                  "song_singer_code", "song_build_date", "song_location"};
const QStringList kSingerColumns = {"singer_code", "singer_name", "singer_sex"};

QStringList schemaStatements(int version)
{
    initSchemaResource();
    static const char *const files[] = {":/schema/001_catalogue.sql", ":/schema/002_lookup_indexes.sql"};
    QFile file(QString::fromLatin1(files[version - 1]));
    if (!file.open(QIODevice::ReadOnly))
        throw DatabaseError(QStringLiteral("程式缺少資料庫結構檔 %1").arg(file.fileName()));
    QStringList statements;
    QString current;
    for (const QString &line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'))) {
        if (line.trimmed().startsWith(QLatin1String("--")))
            continue;
        current += line + QLatin1Char('\n');
        if (line.trimmed().endsWith(QLatin1Char(';'))) {
            statements.append(current.trimmed());
            current.clear();
        }
    }
    return statements;
}

void applyVersions(const QString &dbPath, int from)
{
    for (int version = from + 1; version <= CatalogueFile::kSchemaVersion; ++version) {
        ScopedTransaction transaction(dbPath);
        for (const QString &statement : schemaStatements(version))
            ExecuteSql(statement, dbPath);
        ExecuteSql(QStringLiteral("PRAGMA user_version = %1").arg(version), dbPath);
        transaction.commit();
    }
}

QStringList columnsOf(QSqlQuery &query, const QString &table)
{
    QStringList columns;
    if (!query.exec(QStringLiteral("PRAGMA table_info(%1)").arg(table)))
        return columns;
    while (query.next())
        columns.append(query.value(1).toString().toLower());
    return columns;
}

// What is missing from a table, or an empty text when it has every column the program reads.
QString missingColumns(QSqlQuery &query, const QString &table, const QStringList &wanted)
{
    const QStringList have = columnsOf(query, table);
    if (have.isEmpty())
        return QStringLiteral("沒有資料表 %1").arg(table);
    for (const QString &column : wanted) {
        if (!have.contains(column))
            return QStringLiteral("資料表 %1 沒有欄位 %2").arg(table, column);
    }
    return {};
}

// The schema version of an open catalogue, or -1 with the reason when it is not a catalogue.
int catalogueVersion(QSqlDatabase &db, QString *reason)
{
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("PRAGMA user_version")) || !query.next()) {
        *reason = query.lastError().text();
        return -1;
    }
    const int version = query.value(0).toInt();
    *reason = missingColumns(query, QStringLiteral("song"), kSongColumns);
    if (reason->isEmpty())
        *reason = missingColumns(query, QStringLiteral("singer"), kSingerColumns);
    return reason->isEmpty() ? version : -1;
}

// Looks at an existing file without writing to it. Returns its schema version, or -1 with
// the reason when it is not a catalogue.
int inspect(const QString &dbPath, QString *reason)
{
    const QString connection = QStringLiteral("karaoke-inspect");
    int version = -1;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(dbPath);
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        if (db.open())
            version = catalogueVersion(db, reason);
        else
            *reason = db.lastError().text();
        db.close();
    }
    QSqlDatabase::removeDatabase(connection);
    return version;
}

bool createNew(const QString &dbPath, QString *problem)
{
    // Built beside the real name and renamed when complete, so a crash never leaves a
    // half-made catalogue under the real name.
    const QString building = dbPath + QStringLiteral(".new");
    QFile::remove(building);
    try {
        QFile file(building);
        if (!file.open(QIODevice::WriteOnly))
            throw DatabaseError(file.errorString());
        file.close();
        applyVersions(building, 0);
        CloseDatabaseConnections();
    } catch (const DatabaseError &e) {
        CloseDatabaseConnections();
        QFile::remove(building);
        *problem = QStringLiteral("無法建立資料庫 %1: %2").arg(dbPath, e.message());
        return false;
    }
    if (!QFile::rename(building, dbPath)) {
        QFile::remove(building);
        *problem = QStringLiteral("無法建立資料庫 %1").arg(dbPath);
        return false;
    }
    return true;
}

} // namespace

bool CatalogueFile::openOrCreate(const QString &dbPath, QString *problem)
{
    if (!QFileInfo::exists(dbPath))
        return createNew(dbPath, problem);

    QString reason;
    const int version = inspect(dbPath, &reason);
    if (version < 0) {
        *problem = QStringLiteral("資料庫檔案 %1 不是點歌資料庫 (%2), 程式無法使用它; 檔案沒有被更動.")
                       .arg(dbPath, reason);
        return false;
    }
    if (version >= kSchemaVersion)
        return true;
    try {
        // A catalogue made without a version number already has the tables of version 1.
        applyVersions(dbPath, qMax(version, 1));
    } catch (const DatabaseError &e) {
        *problem = QStringLiteral("無法更新資料庫 %1: %2").arg(dbPath, e.message());
        return false;
    }
    return true;
}
