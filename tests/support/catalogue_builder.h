#pragma once

#include "core/catalogue_file.h"
#include "core/database.h"

#include <QFile>
#include <QString>

#include <stdexcept>

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
    // Writes an empty catalogue as the program of that schema version made it, into an empty
    // or missing file, for the tests of upgrades.
    static void createAtVersion(const QString &dbPath, int version)
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
    // The builder's own connection, for writing many rows in one transaction.
    Database &database() { return m_db; }

private:
    Database m_db;
};
