#include "core/catalogue_file.h"

#include "core/database.h"
#include "core/database_error.h"
#include "core/derived_rows.h"
#include "core/scoped_transaction.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryFile>

#include <sqlite3.h>

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
const char *const kTriggerFile = ":/schema/derived_rows.sql";

// The statements of a schema file in their order; SQLite says where each one ends (a trigger's
// body holds statements of its own).
QStringList statementsOf(const char *resource)
{
    initSchemaResource();
    QFile file(QString::fromLatin1(resource));
    if (!file.open(QIODevice::ReadOnly))
        throw DatabaseError(QStringLiteral("程式缺少資料庫結構檔 %1").arg(file.fileName()));
    QStringList statements;
    QString current;
    for (const QString &line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'))) {
        if (line.trimmed().startsWith(QLatin1String("--")))
            continue;
        current += line + QLatin1Char('\n');
        if (sqlite3_complete(current.toUtf8().constData())) {
            statements.append(current.trimmed());
            current.clear();
        }
    }
    return statements;
}

} // namespace

QStringList CatalogueFile::schemaStatements(int version)
{
    return statementsOf(CatalogueFile::kSchemaFiles[size_t(version - 1)]);
}

QStringList CatalogueFile::triggerStatements()
{
    return statementsOf(kTriggerFile);
}

bool CatalogueFile::restoreTriggers(Database &db)
{
    static const QRegularExpression name(QStringLiteral("CREATE TRIGGER IF NOT EXISTS (\\w+)"));
    const QStringList statements = triggerStatements();
    QStringList missing;
    for (const QString &statement : statements) {
        const QString trigger = name.match(statement).captured(1);
        if (db.OpenRecordset(QStringLiteral("SELECT 1 FROM sqlite_master WHERE type = 'trigger' AND name = ?"),
                             {trigger}, 1)
                .eof())
            missing.append(statement);
    }
    if (missing.isEmpty())
        return false;
    ScopedTransaction transaction(db);
    for (const QString &statement : std::as_const(missing))
        db.ExecuteSql(statement);
    transaction.commit();
    return true;
}

void CatalogueFile::closeCleanly(Database &db)
{
    try {
        db.checkpoint();
    } catch (const DatabaseError &) {
        // The log stays beside the file; the next start (or any SQLite program) reads it.
    }
    db.close();
}

namespace {

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
    CatalogueFile::restoreTriggers(db);
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

// The schema version of the catalogue read through db, or -1 with the reason when it is not a
// catalogue this program may write to.
int versionOf(Database &db, QString *reason)
{
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

// The write-ahead log and its index beside the catalogue, which SQLite makes for a reader of a
// file in that mode: a file refused is left with nothing beside it that was not there before.
class FilesBeside
{
public:
    explicit FilesBeside(const QString &dbPath)
        : m_names{dbPath + QStringLiteral("-wal"), dbPath + QStringLiteral("-shm")}
    {
        for (size_t i = 0; i < m_names.size(); ++i)
            m_existed[i] = QFileInfo::exists(m_names[i]);
    }
    void removeMadeSince() const
    {
        for (size_t i = 0; i < m_names.size(); ++i) {
            if (!m_existed[i])
                QFile::remove(m_names[i]);
        }
    }

private:
    std::array<QString, 2> m_names;
    std::array<bool, 2> m_existed{};
};

// The schema version, or -1 with the reason when it is not a catalogue. The file is read
// without writing to it, unless a crash left a rollback journal that must be played back first
// (only for a file that starts like an SQLite file).
int inspect(Database &db, QString *reason)
{
    *reason = notSqliteReason(db.path());
    if (!reason->isEmpty())
        return -1;
    try {
        Database reader(db.path(), Database::Access::ReadOnly);
        return versionOf(reader, reason);
    } catch (const CatalogueUnshared &) {
        throw;
    } catch (const CatalogueUnwritable &) {
        return versionOf(db, reason); // a hot journal: reading through db plays it back
    }
}

// Whether the file is kept with a write-ahead log already (its header says so).
bool keptWithLog(const QString &dbPath)
{
    QFile file(dbPath);
    const QByteArray header = file.open(QIODevice::ReadOnly) ? file.read(20) : QByteArray();
    return header.size() == 20 && header.at(18) == 2;
}

// Whether a file beside dbPath can be kept with a write-ahead log on this file system (a
// network file system may have no shared memory for the log's index), tried on a file of its
// own so that the catalogue is not touched when it cannot; the reason when it cannot.
QString logProblemBeside(const QString &dbPath)
{
    QTemporaryFile probe(dbPath + QStringLiteral(".XXXXXX.probe"));
    if (!probe.open())
        return probe.errorString();
    probe.close();
    const QByteArray path = QFile::encodeName(probe.fileName());
    sqlite3 *handle = nullptr;
    QString problem;
    if (sqlite3_open_v2(path.constData(), &handle, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK
        || sqlite3_exec(handle, "PRAGMA journal_mode = WAL; CREATE TABLE probe (x INTEGER)", nullptr, nullptr, nullptr)
            != SQLITE_OK)
        problem = QString::fromUtf8(sqlite3_errmsg(handle));
    else if (sqlite3_db_readonly(handle, "main") != 0 || !keptWithLog(probe.fileName()))
        problem = QStringLiteral("journal_mode");
    sqlite3_close(handle);
    for (const char *beside : {"-wal", "-shm"})
        QFile::remove(probe.fileName() + QLatin1String(beside));
    return problem;
}

// Rows another program wrote since the last start get their keys now, so the lists are in
// order from the first key press. While another program is writing, they get them once it is
// done (CatalogueUpkeep), or at the next start: a list a little out of order is no reason not
// to start.
void keepDerivedRowsInStep(Database &db)
{
    try {
        DerivedRows::keepInStep(db, DerivedRows::Pace::AtStart);
    } catch (const CatalogueBusy &) {
    }
}

// Refuses a catalogue that could not be kept with a write-ahead log on its file system (a file
// already kept so shows it at its first read), before anything is written to it.
void refuseWhereNoLogCanBeKept(const QString &dbPath)
{
    if (keptWithLog(dbPath))
        return;
    if (const QString problem = logProblemBeside(dbPath); !problem.isEmpty())
        throw CatalogueUnshared(problem);
}

// Keeps the catalogue in write-ahead-log mode; throws CatalogueUnshared when it cannot be.
void useWriteAheadLog(Database &db)
{
    try {
        const QString mode = db.OpenRecordset(QStringLiteral("PRAGMA journal_mode = WAL")).value(0).toString();
        if (mode.compare(QLatin1String("wal"), Qt::CaseInsensitive) != 0)
            throw CatalogueUnshared(QStringLiteral("journal_mode %1").arg(mode));
        // The first read maps the log's index into shared memory.
        db.OpenRecordset(QStringLiteral("SELECT count(*) FROM sqlite_master"));
    } catch (const CatalogueUnshared &) {
        throw;
    } catch (const CatalogueUnwritable &e) {
        throw CatalogueUnshared(e.message()); // a file that cannot be written
    }
}

// A file this program must not use, refused before anything was written to it.
class NotThisProgramsCatalogue : public DatabaseError
{
public:
    using DatabaseError::DatabaseError;
};

// Opens the catalogue that exists at db's path, brought up to the newest schema and kept with
// a write-ahead log. Every refusal leaves the file as it was: an older catalogue is upgraded
// (in one transaction) before it is switched to the log.
void openExisting(Database &db)
{
    QString reason;
    const int version = inspect(db, &reason);
    if (version < 0)
        throw NotThisProgramsCatalogue(reason);
    refuseWhereNoLogCanBeKept(db.path());
    // A catalogue made without a version number already has the tables of version 1.
    if (version < CatalogueFile::kSchemaVersion)
        applyVersions(db, qMax(version, 1));
    useWriteAheadLog(db);
    keepDerivedRowsInStep(db);
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
    // The log and its index are made beside the catalogue: without them no program could read
    // it while another writes.
    const QString folder = QFileInfo(db.path()).absolutePath();
    if (!QFileInfo(folder).isWritable()) {
        *problem = QStringLiteral("資料庫 %1 所在的資料夾無法寫入, 程式無法使用它 (資料庫需要在同一個資料夾寫入記錄檔); "
                                  "檔案沒有被更動.")
                       .arg(db.path());
        return false;
    }
    if (!QFileInfo::exists(db.path()) && createNew(db, problem) == Created::Failed)
        return false;
    // Reading a file kept with a log makes the log and its index beside it: a file refused is
    // left with nothing beside it that was not there before.
    const FilesBeside beside(db.path());
    try {
        openExisting(db);
        return true;
    } catch (const NotThisProgramsCatalogue &e) {
        *problem = QStringLiteral("資料庫檔案 %1 不是點歌資料庫 (%2), 程式無法使用它; 檔案沒有被更動.").arg(db.path(), e.message());
    } catch (const CatalogueUnshared &e) {
        *problem = QStringLiteral("資料庫 %1 無法讓多個程式同時使用 (%2): 檔案唯讀, 或所在的檔案系統不支援共用記憶體; "
                                  "程式無法使用它, 檔案沒有被更動.")
                       .arg(db.path(), e.message());
    } catch (const CatalogueBusy &) {
        db.close();
        *problem = QStringLiteral("另一個程式正在使用 %1, 請關閉該程式後再啟動.").arg(db.path());
        return false;
    } catch (const DatabaseError &e) {
        db.close();
        *problem = QStringLiteral("資料庫檔案 %1 無法使用 (%2), 檔案沒有被更動.").arg(db.path(), e.message());
        return false;
    }
    db.close();
    beside.removeMadeSince();
    return false;
}
