#include "catalogue/singer_records.h"

#include "catalogue/catalogue_master.h"
#include "catalogue/catalogue_refusal.h"
#include "catalogue/record_checks.h"
#include "core/database.h"
#include "core/like_pattern.h"
#include "core/scoped_transaction.h"

namespace {

const QString kColumns = QStringLiteral("SELECT singer_code, singer_name, singer_sex FROM singer WHERE ");

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
    return first(singers(db, QStringLiteral("singer_name = ?"), {name}, 1));
}

std::optional<SingerRecord> findSingerByCode(Database &db, qint64 code)
{
    return first(singers(db, QStringLiteral("singer_code = ?"), {code}, 1));
}

QList<SingerRecord> findSingersByPrefix(Database &db, const QString &prefix, int maxRows)
{
    return singers(db,
                   QStringLiteral("singer_name LIKE ?") + kLikeEscape
                       + QStringLiteral(" ORDER BY singer_name COLLATE STROKE"),
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

qint64 insertSinger(Database &db, const QString &name, int sex)
{
    refuseIf(singerNameProblem(name));
    refuseIf(singerSexProblem(sex));
    if (CatalogueMaster *master = db.master())
        return master->insertSinger(name.trimmed(), sex);
    ScopedTransaction transaction(db);
    db.ExecuteSql(QStringLiteral("INSERT INTO singer (singer_name, singer_sex) VALUES (?, ?)"), {name.trimmed(), sex});
    const qint64 code = db.lastInsertRowId();
    transaction.commit();
    return code;
}

void updateSinger(Database &db, qint64 code, const QString &name, int sex)
{
    refuseIf(singerNameProblem(name));
    refuseIf(singerSexProblem(sex));
    if (CatalogueMaster *master = db.master())
        return master->updateSinger(code, name.trimmed(), sex);
    ScopedTransaction transaction(db);
    db.ExecuteSql(QStringLiteral("UPDATE singer SET singer_name = ?, singer_sex = ? WHERE singer_code = ?"),
                  {name.trimmed(), sex, code});
    transaction.commit();
}

void deleteSinger(Database &db, qint64 code)
{
    if (CatalogueMaster *master = db.master())
        return master->deleteSinger(code);
    ScopedTransaction transaction(db);
    db.ExecuteSql(QStringLiteral("DELETE FROM singer WHERE singer_code = ?"), {code});
    transaction.commit();
}
