#include "core/queue_store.h"

#include "core/database.h"
#include "core/database_error.h"
#include "core/scoped_transaction.h"

#include <QHash>
#include <QThread>

namespace {

const QString kInsert = QStringLiteral(
    "INSERT OR REPLACE INTO play_queue (queue_id, position, song_num, queue_text, song_name, singer_name, ordered_by, "
    "phone) VALUES (?, ?, ?, ?, ?, ?, ?, ?)");
const QString kMove = QStringLiteral("UPDATE play_queue SET position = ?, queue_text = ? WHERE queue_id = ?");
const QString kRemove = QStringLiteral("DELETE FROM play_queue WHERE queue_id = ?");

struct Placed
{
    qint64 position;
    const QueueRow *row;
};

QHash<qint64, Placed> byId(const std::vector<QueueRow> &rows)
{
    QHash<qint64, Placed> placed;
    placed.reserve(qsizetype(rows.size()));
    for (size_t i = 0; i < rows.size(); ++i)
        placed.insert(rows[i].id, {qint64(i), &rows[i]});
    return placed;
}

void insert(Database &db, qint64 position, const QueueRow &r)
{
    db.ExecuteSql(kInsert, {r.id, position, r.key, r.text, r.title, r.singer, r.by.name, r.by.phone});
}

} // namespace

namespace QueueStore {

Kept load(Database &db)
{
    Kept kept;
    std::vector<QueueRow> &rows = kept.rows;
    db.forEachRow(QStringLiteral("SELECT queue_id, song_num, queue_text, song_name, singer_name, ordered_by, phone "
                                 "FROM play_queue ORDER BY position, queue_id"),
                  {}, [&rows](const RowView &r) {
                      QueueRow row;
                      row.id = r.integer(0);
                      row.key = r.text(1);
                      row.text = r.text(2);
                      row.title = r.text(3);
                      row.singer = r.text(4);
                      row.by = {r.text(5), r.text(6)};
                      rows.push_back(std::move(row));
                      return true;
                  });
    Recordset last = db.OpenRecordset(QStringLiteral("SELECT seq FROM sqlite_sequence WHERE name = 'play_queue'"));
    kept.lastId = last.eof() ? 0 : last.value(0).toLongLong();
    return kept;
}

std::optional<Kept> loadRetrying(Database &db, int tries, int waitMs)
{
    for (int i = 1;; ++i) {
        try {
            return load(db);
        } catch (const DatabaseError &) {
            if (i >= tries)
                return std::nullopt;
            QThread::msleep(ulong(waitMs));
        }
    }
}

void rewrite(Database &db, const std::vector<QueueRow> &rows)
{
    ScopedTransaction transaction(db);
    db.ExecuteSql(QStringLiteral("DELETE FROM play_queue"));
    for (size_t i = 0; i < rows.size(); ++i)
        insert(db, qint64(i), rows[i]);
    transaction.commit();
}

void write(Database &db, const std::vector<QueueRow> &stored, const std::vector<QueueRow> &rows)
{
    const QHash<qint64, Placed> before = byId(stored);
    const QHash<qint64, Placed> after = byId(rows);
    ScopedTransaction transaction(db);
    for (auto it = before.cbegin(); it != before.cend(); ++it) {
        if (!after.contains(it.key()))
            db.ExecuteSql(kRemove, {it.key()});
    }
    for (size_t i = 0; i < rows.size(); ++i) {
        const QueueRow &r = rows[i];
        const auto old = before.constFind(r.id);
        if (old == before.cend())
            insert(db, qint64(i), r);
        else if (old->position != qint64(i) || old->row->text != r.text)
            db.ExecuteSql(kMove, {qint64(i), r.text, r.id});
    }
    transaction.commit();
}

} // namespace QueueStore
