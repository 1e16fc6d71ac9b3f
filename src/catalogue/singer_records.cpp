#include "catalogue/singer_records.h"

#include "catalogue/catalogue_store.h"
#include "catalogue/catalogue_refusal.h"
#include "catalogue/record_checks.h"
#include "core/database.h"
#include "core/like_pattern.h"

namespace {

const QString kColumns = QStringLiteral("SELECT g.singer_code, g.singer_name, g.singer_sex FROM singer AS g WHERE ");

QList<SingerRecord> singers(Database &db, const QString &condition, SqlValues values, int maxRows)
{
    QList<SingerRecord> found;
    db.forEachRow(kColumns + condition, values, [&](const RowView &row) {
        found.append({row.integer(0), row.text(1), int(row.integer(2))});
        return maxRows < 0 || found.size() < maxRows;
    });
    return found;
}

std::optional<SingerRecord> first(const QList<SingerRecord> &list)
{
    return list.isEmpty() ? std::nullopt : std::optional<SingerRecord>(list.first());
}

} // namespace

std::optional<SingerRecord> findSingerByName(Database &db, const QString &name)
{
    return first(singers(db, QStringLiteral("g.singer_name = ?"), {name}, 1));
}

std::optional<SingerRecord> findSingerByCode(Database &db, qint64 code)
{
    return first(singers(db, QStringLiteral("g.singer_code = ?"), {code}, 1));
}

QList<SingerRecord> findSingersByPrefix(Database &db, const QString &prefix, int maxRows)
{
    // The few names of the prefix are sorted by their keys, looked up one by one.
    return singers(db,
                   QStringLiteral("g.singer_name LIKE ?") + kLikeEscape
                       + QStringLiteral(" ORDER BY (SELECT name_key FROM singer_order AS o WHERE o.singer_code = g.singer_code)"),
                   {likePrefix(prefix)}, maxRows);
}

QStringList singerNamesOfSong(Database &db, const QString &songNum)
{
    QStringList names;
    db.forEachRow(QStringLiteral("SELECT singer_name FROM singer WHERE singer_code IN "
                                 "(SELECT DISTINCT song_singer_code FROM song WHERE song_num = ?)"),
                  {songNum}, [&names](const RowView &row) {
                      names.append(row.text(0));
                      return true;
                  });
    return names;
}

qint64 insertSinger(CatalogueStore &store, const QString &name, int sex)
{
    refuseIf(singerNameProblem(name));
    refuseIf(singerSexProblem(sex));
    qint64 code = 0;
    store.change([&](CatalogueRows &rows) {
        code = rows.insertSinger(name.trimmed(), sex);
        return true;
    });
    return code;
}

void updateSinger(CatalogueStore &store, qint64 code, const QString &name, int sex)
{
    refuseIf(singerNameProblem(name));
    refuseIf(singerSexProblem(sex));
    store.change([&](CatalogueRows &rows) {
        rows.updateSinger(code, name.trimmed(), sex);
        return true;
    });
}

void deleteSinger(CatalogueStore &store, qint64 code)
{
    store.change([code](CatalogueRows &rows) {
        rows.deleteSinger(code);
        return true;
    });
}
