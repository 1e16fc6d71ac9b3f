#pragma once

#include <QList>
#include <QString>

#include <optional>

class Database;

// Singers as manager mode reads and writes them. Every function throws DatabaseError when the
// catalogue cannot be read or written.
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
// The singers whose name begins with prefix, at most maxRows when it is not negative.
QList<SingerRecord> findSingersByPrefix(Database &db, const QString &prefix, int maxRows = -1);
// Adds a singer in a transaction of its own and returns the code the catalogue gave it.
qint64 insertSinger(Database &db, const QString &name, int sex);
