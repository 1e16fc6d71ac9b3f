#include "core/catalogue_file.h"

#include "core/database.h"
#include "core/database_error.h"
#include "core/scoped_transaction.h"
#include "core/stroke_collation.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

// The schema files are compiled into this static library; make sure the linker keeps them.
static void initSchemaResource()
{
    Q_INIT_RESOURCE(schema);
}

namespace {

const QStringList kSongColumns = {"song_num",         "song_kind",       "song_name",    "song_text_count",
                                  "song_singer_code", "song_build_date", "song_location"};
const QStringList kSingerColumns = {"singer_code", "singer_name", "singer_sex"};
const QByteArray kSqliteMagic("SQLite format 3\0", 16);

} // namespace

QStringList CatalogueFile::schemaStatements(int version)
{
    initSchemaResource();
    QFile file(QString::fromLatin1(CatalogueFile::kSchemaFiles[size_t(version - 1)]));
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

namespace {

// The stroke-order indexes are in the order of the ICU that built them; another ICU (a system
// upgrade) may order some titles otherwise, and SQLite would then miss rows it looks for in
// them. They are rebuilt when the ordering recorded with them is not this program's.
void keepStrokeOrderCurrent(Database &db)
{
    const QString name = QString::fromLatin1(StrokeCollation::kName);
    const QString current = StrokeCollation::version();
    Recordset rs = db.OpenRecordset(QStringLiteral("SELECT version FROM collation_version WHERE collation = ?"), {name});
    if (!rs.eof() && rs.text(QStringLiteral("version")) == current)
        return;
    ScopedTransaction transaction(db);
    db.ExecuteSql(QStringLiteral("REINDEX ") + name);
    db.ExecuteSql(QStringLiteral("INSERT OR REPLACE INTO collation_version (collation, version) VALUES (?, ?)"),
                  {name, current});
    transaction.commit();
}

// All steps in one transaction: a step that fails (a damaged file) leaves the file exactly as
// it was, not half upgraded.
void applyVersions(Database &db, int from)
{
    ScopedTransaction transaction(db);
    for (int version = from + 1; version <= CatalogueFile::kSchemaVersion; ++version) {
        for (const QString &statement : CatalogueFile::schemaStatements(version))
            db.ExecuteSql(statement);
        db.ExecuteSql(QStringLiteral("PRAGMA user_version = %1").arg(version));
    }
    keepStrokeOrderCurrent(db);
    transaction.commit();
}

// What is missing from a table, or an empty text when it has every column the program reads.
QString missingColumns(Database &db, const QString &table, const QStringList &wanted)
{
    QStringList have;
    Recordset rs = db.OpenRecordset(QStringLiteral("SELECT lower(name) AS name FROM pragma_table_info(?)"), {table});
    for (rs.moveFirst(); !rs.eof(); rs.moveNext())
        have.append(rs.text(QStringLiteral("name")));
    if (have.isEmpty())
        return QStringLiteral("沒有資料表 %1").arg(table);
    for (const QString &column : wanted) {
        if (!have.contains(column))
            return QStringLiteral("資料表 %1 沒有欄位 %2").arg(table, column);
    }
    return {};
}

// Only a file that starts like an SQLite file is opened at all: opening one lets SQLite roll
// back a journal left by a crash, which must never happen to a file of another kind.
QString notSqliteReason(const QString &dbPath)
{
    // A pipe or a device would block the read below, or never end.
    if (!QFileInfo(dbPath).isFile())
        return QStringLiteral("不是一般檔案");
    QFile file(dbPath);
    if (!file.open(QIODevice::ReadOnly))
        return file.errorString();
    const QByteArray head = file.read(kSqliteMagic.size());
    if (head.isEmpty())
        return QStringLiteral("空的檔案");
    if (head != kSqliteMagic)
        return QStringLiteral("不是 SQLite 資料庫檔");
    return {};
}

// The schema version of the catalogue, or -1 with the reason when it is not a catalogue.
// Reading it recovers the file first when a crash left a journal beside it.
int inspect(Database &db, QString *reason)
{
    *reason = notSqliteReason(db.path());
    if (!reason->isEmpty())
        return -1;
    ReadTransaction read(db);
    Recordset rs = db.OpenRecordset(QStringLiteral("PRAGMA user_version"));
    const int version = rs.value(0).toInt();
    // A newer program may have changed what the tables mean; this one must not write to them.
    if (version < 0 || version > CatalogueFile::kSchemaVersion) {
        *reason = QStringLiteral("資料庫版本 %1, 本程式只認得到版本 %2").arg(version).arg(CatalogueFile::kSchemaVersion);
        return -1;
    }
    *reason = missingColumns(db, QStringLiteral("song"), kSongColumns);
    if (reason->isEmpty())
        *reason = missingColumns(db, QStringLiteral("singer"), kSingerColumns);
    return reason->isEmpty() ? version : -1;
}

enum class Created { Here, ByAnother, Failed };

Created createNew(Database &db, QString *problem)
{
    // Built beside the real name and renamed when complete, so a crash never leaves a
    // half-made catalogue under the real name. Each program builds under a name of its own:
    // two programs started together on a new folder must not build into one file.
    QTemporaryFile file(db.path() + QStringLiteral(".XXXXXX.new"));
    file.setAutoRemove(false);
    if (!file.open()) {
        *problem = QStringLiteral("無法建立資料庫 %1: %2").arg(db.path(), file.errorString());
        return Created::Failed;
    }
    file.close();
    // A temporary file is the owner's alone; the catalogue is readable as any file made here.
    file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    const QString building = file.fileName();
    try {
        Database fresh(building);
        applyVersions(fresh, 0);
    } catch (const DatabaseError &e) {
        QFile::remove(building);
        *problem = QStringLiteral("無法建立資料庫 %1: %2").arg(db.path(), e.message());
        return Created::Failed;
    }
    // Renaming never replaces a file: a catalogue another program put there first is the one.
    if (!QFile::rename(building, db.path())) {
        QFile::remove(building);
        if (QFileInfo::exists(db.path()))
            return Created::ByAnother;
        *problem = QStringLiteral("無法建立資料庫 %1").arg(db.path());
        return Created::Failed;
    }
    return Created::Here;
}

} // namespace

bool CatalogueFile::openOrCreate(Database &db, QString *problem)
{
    if (!QFileInfo::exists(db.path())) {
        const Created created = createNew(db, problem);
        if (created != Created::ByAnother)
            return created == Created::Here;
    }
    try {
        QString reason;
        const int version = inspect(db, &reason);
        if (version < 0) {
            db.close();
            *problem = QStringLiteral("資料庫檔案 %1 不是點歌資料庫 (%2), 程式無法使用它; 檔案沒有被更動.")
                           .arg(db.path(), reason);
            return false;
        }
        // A catalogue made without a version number already has the tables of version 1.
        if (version < kSchemaVersion)
            applyVersions(db, qMax(version, 1));
        else
            keepStrokeOrderCurrent(db);
    } catch (const CatalogueBusy &) {
        db.close();
        *problem = QStringLiteral("另一個程式正在使用 %1, 請關閉該程式後再啟動.").arg(db.path());
        return false;
    } catch (const DatabaseError &e) {
        db.close();
        *problem = QStringLiteral("資料庫檔案 %1 無法使用 (%2), 檔案沒有被更動.").arg(db.path(), e.message());
        return false;
    }
    return true;
}
