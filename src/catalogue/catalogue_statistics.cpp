#include "catalogue/catalogue_statistics.h"

#include "core/database.h"
#include "core/play_history.h"

#include <array>

QStringList catalogueStatusLines(Database &db)
{
    qint64 total = 0;
    std::array<qint64, 8> perKind{};
    db.forEachRow(QStringLiteral("SELECT song_kind, count(*) FROM song GROUP BY song_kind"), {},
                  [&](const RowView &row) {
                      const qint64 kind = row.isNull(0) ? -1 : row.integer(0);
                      const qint64 count = row.integer(1);
                      total += count;
                      // A kind stored as text or out of range counts in the total only.
                      if (row.text(0) == QString::number(kind) && kind >= 0 && kind < qint64(perKind.size()))
                          perKind[size_t(kind)] += count;
                      return true;
                  });
    auto n = [&](int kind) { return QString::number(perKind[size_t(kind)]); };
    return {
        QStringLiteral("目前您的系統中共有 %1 首歌").arg(total),
        QStringLiteral("其中...."),
        QStringLiteral("台語類有 ") + n(0) + QStringLiteral(" 首歌") + QStringLiteral(" ; 國語類有 ") + n(1)
            + QStringLiteral(" 首歌"),
        QStringLiteral("客語類有 ") + n(2) + QStringLiteral(" 首歌") + QStringLiteral(" ;英語類有 ") + n(3)
            + QStringLiteral(" 首歌"),
        QStringLiteral("日語類有 ") + n(4) + QStringLiteral(" 首歌") + QStringLiteral(" ; 兒類有 ") + n(5)
            + QStringLiteral(" 首歌"),
        QStringLiteral("其它類有 ") + n(6) + QStringLiteral(" 首歌"),
        QStringLiteral("粵語類有 ") + n(7) + QStringLiteral(" 首歌"),
    };
}

QStringList historyStatusLines(Database &db, qint64 now)
{
    if (!PlayHistory::anySung(db))
        return {};
    const qint64 since = now - qint64(PlayHistory::kChartDays) * 86400;
    QStringList lines{QStringLiteral("最近 %1 天唱了 %2 首").arg(PlayHistory::kChartDays).arg(PlayHistory::sungSince(db, since))};
    int place = 0;
    for (const ChartRow &row : PlayHistory::chart(db, since, 3))
        lines << QStringLiteral("%1. %2--%3 (%4 次)").arg(++place).arg(row.title, row.singer).arg(row.timesSung);
    return lines;
}
