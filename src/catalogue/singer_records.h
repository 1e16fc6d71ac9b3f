#pragma once

#include <QList>
#include <QString>

#include <optional>

class CatalogueStore;
class Database;

// Singers as manager mode reads and writes them: reads from the catalogue file, changes through
// the catalogue's store. Every function throws DatabaseError when the catalogue cannot be read
// or written.
struct SingerRecord
{
    qint64 singer_code = 0;
    QString singer_name;
    int singer_sex = 0;
};

// The sex list of every singer window: the first character of the entry is the stored code.
inline const QStringList kSingerSexEntries = {QStringLiteral("0.女"), QStringLiteral("1.男"),
                                              QStringLiteral("2.團體或其他")};

// The first singer of exactly that name (compared as the catalogue compares text).
std::optional<SingerRecord> findSingerByName(Database &db, const QString &name);
std::optional<SingerRecord> findSingerByCode(Database &db, qint64 code);
// The singers whose name begins with prefix, in stroke order, at most maxRows when it is not
// negative.
QList<SingerRecord> findSingersByPrefix(Database &db, const QString &prefix, int maxRows = -1);
// The names of the singers of a song, in the order they were registered.
QStringList singerNamesOfSong(Database &db, const QString &songNum);

// Adds a singer under its trimmed name and returns the code the catalogue gave it. Throws
// CatalogueRefusal for a name or sex that cannot be stored.
qint64 insertSinger(CatalogueStore &store, const QString &name, int sex);
// Renames a singer and sets its sex; the songs keep their singer code.
void updateSinger(CatalogueStore &store, qint64 code, const QString &name, int sex);
// Removes a singer; its songs stay in the catalogue with the code they had.
void deleteSinger(CatalogueStore &store, qint64 code);
