#pragma once

#include "core/recordset.h"

#include <QString>

// The two ways into the catalogue. Each call is one self-contained statement on the file at
// dbPath (autocommitted); a failure throws DatabaseError naming the statement.
// maxRows limits how many rows are read (the lists the menus page through have a fixed size).
Recordset OpenRecordset(const QString &sql, const QString &dbPath, int maxRows = -1);
// Returns the number of rows the statement changed.
int ExecuteSql(const QString &sql, const QString &dbPath);

// Several look-ups read as one: they see the same catalogue, and the file is locked once.
class ReadTransaction
{
public:
    explicit ReadTransaction(const QString &dbPath);
    ~ReadTransaction();
    ReadTransaction(const ReadTransaction &) = delete;
    ReadTransaction &operator=(const ReadTransaction &) = delete;

private:
    QString m_dbPath;
    bool m_began = false;
};

// Closes the connections kept open for speed (for example before a file is replaced).
void CloseDatabaseConnections();
