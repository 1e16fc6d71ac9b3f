#pragma once

#include "core/database.h"

#include <QString>

// Writes songs and singers straight into a catalogue file, for tests.
class CatalogueBuilder
{
public:
    explicit CatalogueBuilder(QString dbPath)
        : m_db(std::move(dbPath))
    {
    }
    qint64 addSinger(const QString &name, int sex)
    {
        m_db.ExecuteSql(QStringLiteral("INSERT INTO singer (singer_name, singer_sex) VALUES (?, ?)"), {name, sex});
        return m_db.lastInsertRowId();
    }
    // A song without a location is stored as /songs/NUMBER.mpg.
    void addSong(const QString &num, int kind, const QString &name, qint64 singerCode,
                 const QString &location = QString(), const QString &buildDate = QStringLiteral("2026/12/01"))
    {
        m_db.ExecuteSql(QStringLiteral("INSERT INTO song (song_num, song_kind, song_name, song_text_count, "
                                       "song_singer_code, song_build_date, song_location) VALUES (?, ?, ?, ?, ?, ?, ?)"),
                        {num, kind, name, int(name.size()), singerCode, buildDate,
                         location.isEmpty() ? QStringLiteral("/songs/") + num + ".mpg" : location});
    }
    // The builder's own connection, for writing many rows in one transaction.
    Database &database() { return m_db; }

private:
    Database m_db;
};
