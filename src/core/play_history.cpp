#include "core/play_history.h"

#include "core/database.h"
#include "core/scoped_transaction.h"

#include <QSet>

namespace {

const QString kInsert = QStringLiteral(
    "INSERT INTO play_history (song_num, song_name, singer_name, started_at, played_seconds, length_seconds, ended_how, "
    "ordered_by, phone, queue_id, key_end, channel_end, score, sung) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
const QString kUpdate = QStringLiteral(
    "UPDATE play_history SET played_seconds = ?, length_seconds = ?, ended_how = ?, key_end = ?, channel_end = ?, "
    "score = ?, sung = ? WHERE play_id = ?");

// Only sung rows of songs still in the catalogue are ordered; the title kept in the row is
// shown either way.
const QString kChartColumns = QStringLiteral(
    "SELECT c.song_num, c.n, (SELECT h.song_name || char(9) || h.singer_name FROM play_history AS h "
    "WHERE h.song_num = c.song_num ORDER BY h.play_id DESC LIMIT 1), "
    "EXISTS (SELECT 1 FROM song AS s WHERE s.song_num = c.song_num) FROM ");

SqlValue endValue(PlayEnd end)
{
    return end == PlayEnd::Playing ? SqlValue() : SqlValue(int(end));
}

SqlValue scoreValue(const std::optional<int> &score)
{
    return score ? SqlValue(*score) : SqlValue();
}

ChartRow chartRow(const RowView &r)
{
    const QStringList names = r.text(2).split(QLatin1Char('\t'));
    return {r.text(0), names.value(0), names.value(1), int(r.integer(1)), r.integer(3) != 0};
}

} // namespace

bool PlayRecord::sung() const
{
    return playedSeconds >= PlayHistory::kSungSeconds || (lengthSeconds > 0 && 2 * playedSeconds >= lengthSeconds);
}

namespace PlayHistory {

qint64 write(Database &db, const PlayRecord &r, qint64 rowid)
{
    if (rowid == 0) {
        db.ExecuteSql(kInsert, {r.songNum, r.title, r.singer, r.startedAt, r.playedSeconds, r.lengthSeconds,
                                endValue(r.end), r.orderedBy, r.phone, r.queueId, r.key, r.channel, scoreValue(r.score),
                                int(r.sung())});
        return db.lastInsertRowId();
    }
    db.ExecuteSql(kUpdate, {r.playedSeconds, r.lengthSeconds, endValue(r.end), r.key, r.channel, scoreValue(r.score),
                            int(r.sung()), rowid});
    return rowid;
}

int forgetBefore(Database &db, qint64 startedBefore)
{
    return db.ExecuteSql(QStringLiteral("DELETE FROM play_history WHERE started_at < ?"), {startedBefore});
}

std::vector<ChartRow> chart(Database &db, std::optional<qint64> since, int limit, bool orderableOnly)
{
    std::vector<ChartRow> rows;
    const auto add = [&rows](const RowView &r) {
        rows.push_back(chartRow(r));
        return true;
    };
    const QString inCatalogue = QStringLiteral("EXISTS (SELECT 1 FROM song AS s WHERE s.song_num = h.song_num) ");
    const QString orderable = orderableOnly ? QStringLiteral("AND ") + inCatalogue : QString();
    ReadTransaction read(db);
    if (since) {
        // The sung plays of the period by their index (SQLite would otherwise walk them by song);
        // each song looked up in the catalogue once, not once per play.
        db.forEachRow(kChartColumns
                          + QStringLiteral("(SELECT h.song_num, count(*) AS n, max(h.started_at) AS last "
                                           "FROM play_history AS h INDEXED BY play_history_sung "
                                           "WHERE h.sung = 1 AND h.started_at >= ? GROUP BY h.song_num ")
                          + (orderableOnly ? QStringLiteral("HAVING ") + inCatalogue : QString())
                          + QStringLiteral("ORDER BY n DESC, last DESC LIMIT ?) AS c ORDER BY c.n DESC, c.last DESC"),
                      {*since, limit}, add);
    } else {
        db.forEachRow(kChartColumns
                          + QStringLiteral("(SELECT h.song_num, h.sung_count AS n, h.last_sung AS last "
                                           "FROM song_chart AS h WHERE 1 ")
                          + orderable
                          + QStringLiteral("ORDER BY h.sung_count DESC, h.last_sung DESC LIMIT ?) AS c "
                                           "ORDER BY c.n DESC, c.last DESC"),
                      {limit}, add);
    }
    return rows;
}

int sungSince(Database &db, qint64 since)
{
    Recordset rs = db.OpenRecordset(
        QStringLiteral("SELECT count(*) FROM play_history WHERE sung = 1 AND started_at >= ?"), {since});
    return rs.value(0).toInt();
}

bool anySung(Database &db)
{
    return !db.OpenRecordset(QStringLiteral("SELECT 1 FROM song_chart LIMIT 1")).eof();
}

std::vector<PlayRecord> lastPlays(Database &db, int limit)
{
    std::vector<PlayRecord> plays;
    db.forEachRow(QStringLiteral("SELECT song_num, song_name, singer_name, started_at, played_seconds, length_seconds, "
                                 "coalesce(ended_how, 0), ordered_by, phone, queue_id, key_end, channel_end, score "
                                 "FROM play_history ORDER BY play_id DESC LIMIT ?"),
                  {limit}, [&plays](const RowView &r) {
                      PlayRecord p{r.text(0), r.text(1), r.text(2), r.integer(3), int(r.integer(4)), int(r.integer(5)),
                                   PlayEnd(r.integer(6)), r.text(7), r.text(8), r.integer(9), int(r.integer(10)),
                                   int(r.integer(11)), std::nullopt};
                      if (!r.isNull(12))
                          p.score = int(r.integer(12));
                      plays.push_back(std::move(p));
                      return true;
                  });
    return plays;
}

int lastKey(Database &db, const QString &songNum)
{
    Recordset rs = db.OpenRecordset(
        QStringLiteral("SELECT key_end FROM play_history WHERE song_num = ? ORDER BY play_id DESC LIMIT 1"), {songNum});
    return rs.eof() ? 0 : rs.value(0).toInt();
}

std::map<QString, int> playsSince(Database &db, qint64 since, const std::vector<qint64> &stillQueued)
{
    const QSet<qint64> queued(stillQueued.begin(), stillQueued.end());
    std::map<QString, int> plays;
    db.forEachRow(QStringLiteral("SELECT phone, queue_id FROM play_history WHERE started_at >= ?"), {since},
                  [&](const RowView &r) {
                      if (!queued.contains(r.integer(1)))
                          ++plays[r.text(0)];
                      return true;
                  });
    return plays;
}

} // namespace PlayHistory
