#pragma once

#include <QStringList>

class Database;

// The seven lines of the catalogue's statistics: how many song records in all, then per kind
// (a song stored once per singer counts once per record; a kind outside 0 to 7 counts in the
// total only). Throws DatabaseError.
QStringList catalogueStatusLines(Database &db);
