#pragma once

#include "core/database.h"

#include <QString>

// Writes songs and singers straight into a catalogue file, for tests.
class CatalogueBuilder
{
public:
    explicit CatalogueBuilder(QString dbPath);
    qint64 addSinger(const QString &name, int sex);
    void addSong(const QString &num, int kind, const QString &name, qint64 singerCode,
                 const QString &location = QString(), const QString &buildDate = QStringLiteral("2026/12/01"));
    // Writes an empty catalogue as the program of that schema version made it, into an empty
    // or missing file, for the tests of upgrades.
    static void createAtVersion(const QString &dbPath, int version);

    // The builder's own connection, for writing many rows in one transaction.
    Database &database() { return m_db; }

private:
    Database m_db;
};
