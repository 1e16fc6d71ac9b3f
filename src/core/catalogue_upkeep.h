#pragma once

#include "core/worker_thread.h"

#include <QString>

// Keeps the catalogue's derived rows (derived_rows.h) in step with what other programs write
// while the jukebox runs (the sqlite3 shell, a spreadsheet import, a script): on a thread of its
// own (core/worker_thread.h) it looks once a second at the catalogue's change count and schema
// version, and when either moved it makes the stroke-order keys of new and retitled songs and
// singers, and mends what a rebuilt table lost, a few hundred rows per transaction so that a
// writer of the program waits for one batch at most. A song added by another program is in its
// place in the lists a moment later.
class CatalogueUpkeep
{
public:
    static constexpr int kLookEveryMs = 1000;
    // Another program's write may hold the file for a while: the upkeep is in no hurry.
    static constexpr int kBusyWaitMs = 3000;

    explicit CatalogueUpkeep(QString dbPath);
    ~CatalogueUpkeep();
    CatalogueUpkeep(const CatalogueUpkeep &) = delete;
    CatalogueUpkeep &operator=(const CatalogueUpkeep &) = delete;

    // Looks now rather than at the next second, whether or not the counts moved.
    void lookNow();
    // Waits until a look asked for before the call is done; false after timeoutMs.
    bool flush(int timeoutMs);

private:
    void run();

    QString m_dbPath;
    bool m_asked = false; // under the worker's lock
    WorkerThread m_worker;
};
