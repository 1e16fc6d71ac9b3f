#pragma once

#include <QStringList>

class Database;

// The seven lines of the catalogue's statistics: how many song records in all, then per kind
// (a song stored once per singer counts once per record; a kind outside 0 to 7 counts in the
// total only). Throws DatabaseError.
QStringList catalogueStatusLines(Database &db);

// The play history's lines under those: how many songs were sung in the last 30 days and the
// three most sung (titles as kept with the plays); none while nothing was ever sung. now is in
// seconds since 1970. Throws DatabaseError.
QStringList historyStatusLines(Database &db, qint64 now);
