#pragma once

#include <QtGlobal>

#include "support/default_vfs.h"

#include <atomic>

// How long SQLite connections waited for a file held by another connection (the busy wait
// sleeping between tries) while this lives: every connection opened meanwhile goes through
// SQLite's own unix files, its sleeps counted. It must outlive those connections.
class FileWaits : private DefaultVfs
{
public:
    FileWaits() : DefaultVfs("file-waits")
    {
        vfs().xSleep = sleep;
        makeDefault();
    }

    // Milliseconds waited since the last call.
    static double takeWaitedMs() { return double(s_sleptUs.exchange(0)) / 1000; }

private:
    static int sleep(sqlite3_vfs *, int microseconds)
    {
        s_sleptUs += microseconds;
        return ownFiles()->xSleep(ownFiles(), microseconds);
    }

    static inline std::atomic<qint64> s_sleptUs{0};
};
