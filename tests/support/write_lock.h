#pragma once

#include "core/database.h"
#include "core/database_error.h"

// Whether another connection holds the catalogue's write lock (a transaction writing): the
// moment a crash test kills a writer. The probe's own connection waits for nothing.
inline bool writeLockHeld(Database &probe)
{
    probe.setBusyWait(0);
    try {
        probe.ExecuteSql(QStringLiteral("BEGIN IMMEDIATE"));
        probe.ExecuteSql(QStringLiteral("ROLLBACK"));
        return false;
    } catch (const CatalogueBusy &) {
        return true;
    }
}
