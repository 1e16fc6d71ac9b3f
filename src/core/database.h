#pragma once

#include "recordset.h"

#include <QString>

// The two ways into the catalogue. Each call is one self-contained statement on the file at
// dbPath (autocommitted); a failure throws DatabaseError naming the statement.
// maxRows limits how many rows are read (the lists the menus page through have a fixed size).
Recordset OpenRecordset(const QString &sql, const QString &dbPath, int maxRows = -1);
// Returns the number of rows the statement changed.
int ExecuteSql(const QString &sql, const QString &dbPath);

// Closes the connections kept open for speed (for example before a file is replaced).
void CloseDatabaseConnections();
