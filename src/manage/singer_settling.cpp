#include "manage/singer_settling.h"

#include "catalogue/singer_records.h"

std::optional<SettledSinger> settleSinger(Database &db, MissingSingerDecision &decision, const QString &name)
{
    QString settled = name.trimmed();
    std::optional<SingerRecord> singer = findSingerByName(db, settled);
    if (!singer) {
        const std::optional<QString> added = decision.addSinger(settled);
        if (!added)
            return std::nullopt;
        settled = *added;
        singer = findSingerByName(db, settled);
    }
    if (!singer)
        return std::nullopt;
    return SettledSinger{singer->singer_code, settled};
}
