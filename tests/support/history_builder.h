#pragma once

#include "core/database.h"
#include "core/play_history.h"
#include "core/scoped_transaction.h"

#include <QRandomGenerator>
#include <QStringList>

#include <vector>

// A play history made up for tests and benchmarks: plays of the songs given, spread over the
// days before now (seconds since 1970), each second used once so no two plays tie; some songs
// much more often than others, a fifth of the plays too short to count as sung. Written as the
// program writes them (the triggers keep the all-time chart), in one transaction.
inline void generateHistory(Database &db, const std::vector<QString> &songNums, int plays, int days, qint64 now,
                            quint32 seed = 31)
{
    QRandomGenerator random(seed);
    const qint64 span = qint64(days) * 86400;
    ScopedTransaction transaction(db);
    for (int i = 0; i < plays; ++i) {
        PlayRecord play;
        // Squaring a uniform number favours the first songs, as a room's favourites are.
        const double u = random.generateDouble();
        play.songNum = songNums[size_t(u * u * double(songNums.size()))];
        play.title = QStringLiteral("歌") + play.songNum;
        play.singer = QStringLiteral("歌手");
        play.startedAt = now - span + qint64(i) * span / plays;
        play.lengthSeconds = random.bounded(2) ? 200 : 0;
        play.playedSeconds = random.bounded(5) == 0 ? random.bounded(29) : 30 + random.bounded(200);
        play.end = PlayEnd::ToTheEnd;
        PlayHistory::write(db, play, 0);
    }
    transaction.commit();
}

// The charts counted the plain way over the same rows, for comparison: "number|times" lines.
inline QStringList plainChart(Database &db, std::optional<qint64> since, bool orderableOnly)
{
    QStringList lines;
    db.forEachRow(QStringLiteral("SELECT song_num, count(*) AS n, max(started_at) AS last FROM play_history "
                                 "WHERE (played_seconds >= 30 OR (length_seconds > 0 AND 2 * played_seconds >= length_seconds)) "
                                 "AND started_at >= ? AND (? = 0 OR song_num IN (SELECT song_num FROM song)) "
                                 "GROUP BY song_num ORDER BY n DESC, last DESC LIMIT 100"),
                  {since.value_or(0), int(orderableOnly)}, [&lines](const RowView &r) {
                      lines << r.text(0) + QLatin1Char('|') + r.text(1);
                      return true;
                  });
    return lines;
}
