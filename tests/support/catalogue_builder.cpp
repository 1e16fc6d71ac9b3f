#include "support/catalogue_builder.h"

#include "core/catalogue_file.h"

#include <QFile>

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

void CatalogueBuilder::createAtVersion(const QString &dbPath, int version)
{
    QFile file(dbPath);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw std::runtime_error("cannot create " + dbPath.toStdString());
    file.close();
    Database db(dbPath);
    for (int step = 1; step <= version; ++step) {
        for (const QString &statement : CatalogueFile::schemaStatements(step))
            db.ExecuteSql(statement);
    }
    db.ExecuteSql(QStringLiteral("PRAGMA user_version = %1").arg(version));
}
