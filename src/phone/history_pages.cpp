#include "phone/history_pages.h"

#include "core/database.h"
#include "core/play_history.h"

#include <QJsonArray>

namespace HistoryPages {

namespace {

QJsonArray chartSongs(Database &db, std::optional<qint64> since)
{
    QJsonArray songs;
    for (const ChartRow &row : PlayHistory::chart(db, since, PlayHistory::kChartLength, true)) {
        songs.append(QJsonObject{{QStringLiteral("num"), row.songNum},
                                 {QStringLiteral("title"), row.title},
                                 {QStringLiteral("singer"), row.singer},
                                 {QStringLiteral("times"), row.timesSung}});
    }
    return songs;
}

QJsonArray lastSongs(Database &db)
{
    QJsonArray songs;
    for (const PlayRecord &play : PlayHistory::lastPlays(db, kLastPlays)) {
        QJsonObject song{{QStringLiteral("num"), play.songNum},
                         {QStringLiteral("title"), play.title},
                         {QStringLiteral("singer"), play.singer},
                         {QStringLiteral("by"), play.orderedBy},
                         {QStringLiteral("at"), play.startedAt}};
        if (play.score)
            song.insert(QStringLiteral("score"), *play.score);
        songs.append(song);
    }
    return songs;
}

} // namespace

QJsonObject songs(Database &db, int period, qint64 now)
{
    ReadTransaction read(db);
    QJsonArray list;
    if (period == 3)
        list = lastSongs(db);
    else
        list = chartSongs(db, period == 1 ? std::optional(now - qint64(PlayHistory::kChartDays) * 86400) : std::nullopt);
    return {{QStringLiteral("songs"), list}, {QStringLiteral("page"), 1}, {QStringLiteral("more"), false}};
}

bool shown(Database &db)
{
    return PlayHistory::anySung(db);
}

} // namespace HistoryPages
