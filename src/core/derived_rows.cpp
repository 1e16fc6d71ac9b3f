#include "core/derived_rows.h"

#include "core/catalogue_file.h"
#include "core/database.h"
#include "core/scoped_transaction.h"
#include "core/stroke_collation.h"

#include <utility>
#include <vector>

namespace {

// A table of keys: whether a row lacks its key, the rows without one with the text each key
// is made of, and how a key is stored.
struct KeyTable
{
    QString anyWithoutKey;
    QString rowsWithoutKey;
    QString setKey;
};

const KeyTable kTitleKeys{
    QStringLiteral("SELECT 1 FROM song_order WHERE title_key IS NULL LIMIT 1"),
    QStringLiteral("SELECT o.song_row, s.song_name FROM song_order AS o CROSS JOIN song AS s ON s.rowid = o.song_row "
                   "WHERE o.title_key IS NULL LIMIT ?"),
    QStringLiteral("UPDATE song_order SET title_key = ? WHERE song_row = ?")};
const KeyTable kNameKeys{
    QStringLiteral("SELECT 1 FROM singer_order WHERE name_key IS NULL LIMIT 1"),
    QStringLiteral("SELECT o.singer_code, g.singer_name FROM singer_order AS o CROSS JOIN singer AS g "
                   "ON g.singer_code = o.singer_code WHERE o.name_key IS NULL LIMIT ?"),
    QStringLiteral("UPDATE singer_order SET name_key = ? WHERE singer_code = ?")};

// Each batch reads the texts and stores their keys in one write transaction, so a title
// changed meanwhile by another program never gets the key of its old text.
int makeKeys(Database &db, const KeyTable &table, const StrokeSortKeys &keys, int batchRows)
{
    int made = 0;
    while (!db.OpenRecordset(table.anyWithoutKey, {}, 1).eof()) {
        ScopedTransaction batch(db);
        std::vector<std::pair<qint64, QString>> rows;
        db.forEachRow(table.rowsWithoutKey, {batchRows}, [&rows](const RowView &row) {
            rows.emplace_back(row.integer(0), row.text(1));
            return true;
        });
        for (const auto &[id, text] : rows)
            db.ExecuteSql(table.setKey, {SqlValue::blob(keys.of(text)), id});
        batch.commit();
        made += int(rows.size());
        // Rows without a key left only by songs or singers that are gone: nothing to make.
        if (int(rows.size()) < batchRows)
            break;
    }
    return made;
}

qint64 number(Database &db, const QString &sql)
{
    return db.OpenRecordset(sql).value(0).toLongLong();
}

// Keys made by another ICU may order titles otherwise: they are all made again.
bool forgetKeysOfAnotherOrdering(Database &db)
{
    const QString current = StrokeSortKeys::version();
    Recordset rs = db.OpenRecordset(QStringLiteral("SELECT version FROM sort_key_version"));
    if (!rs.eof() && rs.value(0).toString() == current)
        return false;
    ScopedTransaction transaction(db);
    db.ExecuteSql(QStringLiteral("UPDATE song_order SET title_key = NULL"));
    db.ExecuteSql(QStringLiteral("UPDATE singer_order SET name_key = NULL"));
    db.ExecuteSql(QStringLiteral("INSERT OR REPLACE INTO sort_key_version (only_row, version) VALUES (1, ?)"), {current});
    transaction.commit();
    return true;
}

// Without the triggers (a table rebuilt by a tool that does not keep them) the derived rows
// missed whatever was written meanwhile: they are made anew from the songs and singers.
bool remakeRowsOutOfStep(Database &db)
{
    const bool inStep = !CatalogueFile::restoreTriggers(db)
        && number(db, QStringLiteral("SELECT count(*) FROM song")) == number(db, QStringLiteral("SELECT count(*) FROM song_order"))
        && number(db, QStringLiteral("SELECT count(*) FROM singer"))
            == number(db, QStringLiteral("SELECT count(*) FROM singer_order"));
    if (inStep)
        return false;
    ScopedTransaction transaction(db);
    db.ExecuteSql(QStringLiteral("DELETE FROM song_order"));
    db.ExecuteSql(QStringLiteral("INSERT INTO song_order (song_row, song_kind, song_text_count, song_singer_code) "
                                 "SELECT rowid, song_kind, song_text_count, song_singer_code FROM song"));
    db.ExecuteSql(QStringLiteral("DELETE FROM singer_order"));
    db.ExecuteSql(QStringLiteral("INSERT INTO singer_order (singer_code, singer_sex) SELECT singer_code, singer_sex FROM singer"));
    db.ExecuteSql(QStringLiteral("DELETE FROM song_loudness WHERE song_row NOT IN (SELECT rowid FROM song)"));
    transaction.commit();
    return true;
}

} // namespace

namespace DerivedRows {

int makeMissingKeys(Database &db, int batchRows)
{
    // A collator per thread, opened once: every change of the catalogue file asks for keys.
    thread_local const StrokeSortKeys keys;
    return makeKeys(db, kTitleKeys, keys, batchRows) + makeKeys(db, kNameKeys, keys, batchRows);
}

bool keepInStep(Database &db, int batchRows)
{
    const bool forgotten = forgetKeysOfAnotherOrdering(db);
    const bool remade = remakeRowsOutOfStep(db);
    return makeMissingKeys(db, batchRows) > 0 || forgotten || remade;
}

} // namespace DerivedRows
