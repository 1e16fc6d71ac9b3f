#include "support/catalogue_builder.h"

CatalogueBuilder::CatalogueBuilder(QString dbPath)
    : m_db(std::move(dbPath))
{
}

qint64 CatalogueBuilder::addSinger(const QString &name, int sex)
{
    m_db.ExecuteSql(QStringLiteral("INSERT INTO singer (singer_name, singer_sex) VALUES (?, ?)"), {name, sex});
    return m_db.lastInsertRowId();
}

void CatalogueBuilder::addSong(const QString &num, int kind, const QString &name, qint64 singerCode,
                               const QString &location, const QString &buildDate)
{
    m_db.ExecuteSql(QStringLiteral("INSERT INTO song (song_num, song_kind, song_name, song_text_count, song_singer_code, "
                                   "song_build_date, song_location) VALUES (?, ?, ?, ?, ?, ?, ?)"),
                    {num, kind, name, int(name.size()), singerCode, buildDate,
                     location.isEmpty() ? QStringLiteral("/songs/") + num + ".mpg" : location});
}
