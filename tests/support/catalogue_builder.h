#pragma once

#include "core/catalogue_file.h"
#include "core/database.h"
#include "core/derived_rows.h"

#include <QFile>
#include <QString>

#include <functional>
#include <stdexcept>

// Writes songs and singers straight into a catalogue file, as another program would, then
// makes their stroke-order keys as the program does once it notices them, for tests.
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
        const qint64 code = m_db.lastInsertRowId();
        makeKeys();
        return code;
    }
    // A song without a location is stored as /songs/NUMBER.mpg.
    void addSong(const QString &num, int kind, const QString &name, qint64 singerCode,
                 const QString &location = QString(), const QString &buildDate = QStringLiteral("2026/12/01"))
    {
        m_db.ExecuteSql(QStringLiteral("INSERT INTO song (song_num, song_kind, song_name, song_text_count, "
                                       "song_singer_code, song_build_date, song_location) VALUES (?, ?, ?, ?, ?, ?, ?)"),
                        {num, kind, name, int(name.size()), singerCode, buildDate,
                         location.isEmpty() ? QStringLiteral("/songs/") + num + ".mpg" : location});
        makeKeys();
    }
    // Makes the keys of what was written without them (by the builder's database()).
    void makeKeys()
    {
        // A file of an older schema has no keys to make.
        if (m_db.OpenRecordset(QStringLiteral("PRAGMA user_version")).value(0).toInt() == CatalogueFile::kSchemaVersion)
            DerivedRows::makeMissingKeys(m_db, DerivedRows::Pace::AtStart);
    }
    // Writes a catalogue as the program of that schema version made it, into an empty or
    // missing file, for the tests of upgrades; fill writes its rows (before the indexes that
    // only that program could write to).
    static void createAtVersion(const QString &dbPath, int version, const std::function<void(Database &)> &fill = {});
    // The builder's own connection, for writing many rows in one transaction.
    Database &database() { return m_db; }

private:
    Database m_db;
};
