#include "core/derived_rows.h"

#include "core/catalogue_file.h"
#include "core/database.h"
#include "core/scoped_transaction.h"
#include "core/stroke_collation.h"

#include <optional>
#include <utility>
#include <vector>

namespace {

qint64 schemaVersion(Database &db)
{
    return db.OpenRecordset(QStringLiteral("PRAGMA schema_version")).value(0).toLongLong();
}

qint64 recordedSchemaVersion(Database &db)
{
    Recordset rs = db.OpenRecordset(QStringLiteral("SELECT schema_version FROM derived_rows_made"));
    return rs.eof() ? -1 : rs.value(0).toLongLong();
}

// A table of keys: its name, how many and which of its rows lack a key (with the text each key
// is made of), and how a key is stored.
struct KeyTable
{
    QString name;
    QString countWithoutKey;
    QString rowsWithoutKey;
    QString setKey;
};

const KeyTable kTitleKeys{
    QStringLiteral("song_order"), QStringLiteral("SELECT count(*) FROM song_order WHERE title_key IS NULL"),
    QStringLiteral("SELECT o.song_row, s.song_name FROM song_order AS o CROSS JOIN song AS s ON s.rowid = o.song_row "
                   "WHERE o.title_key IS NULL LIMIT ?"),
    QStringLiteral("UPDATE song_order SET title_key = ? WHERE song_row = ?")};
const KeyTable kNameKeys{
    QStringLiteral("singer_order"), QStringLiteral("SELECT count(*) FROM singer_order WHERE name_key IS NULL"),
    QStringLiteral("SELECT o.singer_code, g.singer_name FROM singer_order AS o CROSS JOIN singer AS g "
                   "ON g.singer_code = o.singer_code WHERE o.name_key IS NULL LIMIT ?"),
    QStringLiteral("UPDATE singer_order SET name_key = ? WHERE singer_code = ?")};

// While the jukebox runs, keys are made a few hundred per transaction: a writer on another
// thread (the queue) waits for one batch at most.
constexpr int kRunningBatchRows = 500;
// Past this many keys at once, a table's indexes are made anew after the keys rather than
// kept up to date row by row, which takes about twice as long.
constexpr int kSetAsideAbove = 5000;

// A table's indexes dropped, inside the transaction the caller holds, and made again by
// restore() from the statements that made them. Derived rows known whole before stay known
// whole: the schema version they were known whole at follows the change.
class IndexesSetAside
{
public:
    IndexesSetAside(Database &db, const QString &table)
        : m_db(db)
        , m_wasWhole(recordedSchemaVersion(db) == schemaVersion(db))
    {
        db.forEachRow(QStringLiteral("SELECT name, sql FROM sqlite_master WHERE type = 'index' AND tbl_name = ? "
                                     "AND sql IS NOT NULL"),
                      {table}, [this](const RowView &row) {
                          m_statements.append(row.text(1));
                          m_names.append(row.text(0));
                          return true;
                      });
        for (const QString &name : std::as_const(m_names))
            db.ExecuteSql(QStringLiteral("DROP INDEX \"%1\"").arg(name));
    }
    void restore()
    {
        for (const QString &statement : std::as_const(m_statements))
            m_db.ExecuteSql(statement);
        if (m_wasWhole)
            m_db.ExecuteSql(QStringLiteral("UPDATE derived_rows_made SET schema_version = ?"), {schemaVersion(m_db)});
    }

private:
    Database &m_db;
    bool m_wasWhole;
    QStringList m_names;
    QStringList m_statements;
};

// Reads the texts of up to rows rows without a key and stores their keys; how many.
int makeBatch(Database &db, const KeyTable &table, const StrokeSortKeys &keys, int rows)
{
    std::vector<std::pair<qint64, QString>> texts;
    db.forEachRow(table.rowsWithoutKey, {rows}, [&texts](const RowView &row) {
        texts.emplace_back(row.integer(0), row.text(1));
        return true;
    });
    for (const auto &[id, text] : texts)
        db.ExecuteSql(table.setKey, {SqlValue::blob(keys.of(text)), id});
    return int(texts.size());
}

// The texts are read and their keys stored in one write transaction, so a title changed
// meanwhile by another program never gets the key of its old text.
int makeKeys(Database &db, const KeyTable &table, const StrokeSortKeys &keys, DerivedRows::Pace pace)
{
    int made = 0;
    for (;;) {
        const int missing = db.OpenRecordset(table.countWithoutKey).value(0).toInt();
        if (missing == 0)
            return made;
        if (pace == DerivedRows::Pace::WithAChange)
            return made + makeBatch(db, table, keys, kRunningBatchRows); // in the change's transaction
        ScopedTransaction transaction(db);
        if (pace == DerivedRows::Pace::AtStart) {
            std::optional<IndexesSetAside> aside;
            if (missing > kSetAsideAbove)
                aside.emplace(db, table.name);
            made += makeBatch(db, table, keys, missing);
            if (aside)
                aside->restore();
            transaction.commit();
            return made;
        }
        const int batch = makeBatch(db, table, keys, kRunningBatchRows);
        transaction.commit();
        made += batch;
        // Rows without a key left only by songs or singers that are gone: nothing to make.
        if (batch < kRunningBatchRows)
            return made;
    }
}

// What the derived rows were last made under: the ICU ordering of their keys, and the file's
// schema version at which they were known to be whole.
struct Made
{
    QString ordering;
    qint64 schemaVersion = -1;
};

Made madeUnder(Database &db)
{
    Recordset rs = db.OpenRecordset(QStringLiteral("SELECT ordering, schema_version FROM derived_rows_made"));
    return rs.eof() ? Made{} : Made{rs.value(0).toString(), rs.value(1).toLongLong()};
}

void recordMade(Database &db, const QString &ordering)
{
    db.ExecuteSql(QStringLiteral("INSERT OR REPLACE INTO derived_rows_made (only_row, ordering, schema_version) "
                                 "VALUES (1, ?, ?)"),
                  {ordering, schemaVersion(db)});
}

// Keys made by another ICU may order titles otherwise: they are all made again.
void forgetKeys(Database &db)
{
    db.ExecuteSql(QStringLiteral("UPDATE song_order SET title_key = NULL"));
    db.ExecuteSql(QStringLiteral("UPDATE singer_order SET name_key = NULL"));
}

// The file's schema moved since the derived rows were known whole: a tool rebuilt a table
// (dropping its triggers, perhaps giving its rows other rowids) or changed it otherwise. The
// triggers are made again and the derived rows made anew from the songs and singers.
void remakeRows(Database &db)
{
    CatalogueFile::restoreTriggers(db);
    IndexesSetAside songs(db, QStringLiteral("song_order"));
    IndexesSetAside singers(db, QStringLiteral("singer_order"));
    db.ExecuteSql(QStringLiteral("DELETE FROM song_order"));
    db.ExecuteSql(QStringLiteral("INSERT INTO song_order (song_row, song_kind, song_text_count, song_singer_code) "
                                 "SELECT rowid, song_kind, song_text_count, song_singer_code FROM song"));
    db.ExecuteSql(QStringLiteral("DELETE FROM singer_order"));
    db.ExecuteSql(QStringLiteral("INSERT INTO singer_order (singer_code, singer_sex) SELECT singer_code, singer_sex FROM singer"));
    db.ExecuteSql(QStringLiteral("DELETE FROM song_loudness WHERE song_row NOT IN (SELECT rowid FROM song)"));
    songs.restore();
    singers.restore();
}

} // namespace

namespace DerivedRows {

int makeMissingKeys(Database &db, Pace pace)
{
    // A collator per thread, opened once: every change of the catalogue file asks for keys.
    thread_local const StrokeSortKeys keys;
    return makeKeys(db, kTitleKeys, keys, pace) + makeKeys(db, kNameKeys, keys, pace);
}

bool keepInStep(Database &db, Pace pace)
{
    const Made made = madeUnder(db);
    const QString ordering = StrokeSortKeys::version();
    const bool remake = made.schemaVersion != schemaVersion(db);
    if (remake || made.ordering != ordering) {
        ScopedTransaction transaction(db);
        if (remake)
            remakeRows(db);
        else
            forgetKeys(db);
        recordMade(db, ordering);
        transaction.commit();
    }
    const int keys = makeMissingKeys(db, pace);
    return keys > 0 || remake || made.ordering != ordering;
}

} // namespace DerivedRows
