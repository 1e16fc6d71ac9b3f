#include "support/catalogue_builder.h"

#include "core/database.h"
#include "core/lookups.h"

CatalogueBuilder::CatalogueBuilder(QString dbPath)
    : m_dbPath(std::move(dbPath))
{
}

qint64 CatalogueBuilder::addSinger(const QString &name, int sex)
{
    ExecuteSql(QStringLiteral("INSERT INTO singer (singer_name, singer_sex) VALUES (%1, %2)").arg(sqlText(name)).arg(sex),
               m_dbPath);
    Recordset rs = OpenRecordset(QStringLiteral("SELECT max(singer_code) AS c FROM singer"), m_dbPath);
    return rs.field(QStringLiteral("c")).toLongLong();
}

void CatalogueBuilder::addSong(const QString &num, int kind, const QString &name, qint64 singerCode,
                               const QString &location, const QString &buildDate)
{
    ExecuteSql(QStringLiteral("INSERT INTO song (song_num, song_kind, song_name, song_text_count, song_singer_code, "
                              "song_build_date, song_location) VALUES (%1, %2, %3, %4, %5, %6, %7)")
                   .arg(sqlText(num))
                   .arg(kind)
                   .arg(sqlText(name))
                   .arg(name.size())
                   .arg(singerCode)
                   .arg(sqlText(buildDate), sqlText(location.isEmpty() ? QStringLiteral("/songs/") + num + ".mpg" : location)),
               m_dbPath);
}
