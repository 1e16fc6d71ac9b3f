#pragma once

#include <QString>
#include <QStringList>

// Builds a large catalogue of invented songs for the benchmarks: CJK titles of 1 to 20
// characters over all eight kinds, singers of the three groups. Deterministic for a seed.
struct GeneratedCatalogue
{
    QString dbPath;
    QStringList songNumbers; // a sample of numbers that exist
    qint64 busySingerCode = 0; // a singer with many songs
};

// Makes (or reuses, when it is already complete) home/karaoke.mdb.
GeneratedCatalogue generateCatalogue(const QString &home, int songs, int singers);
