#pragma once

#include <QtGlobal>

#include <sqlite3.h>

#include <atomic>

// How long SQLite connections waited for a file held by another connection (the busy wait
// sleeping between tries) while this lives: every connection opened meanwhile goes through
// SQLite's own unix files, its sleeps counted. It must outlive those connections.
class FileWaits
{
public:
    FileWaits()
    {
        s_unix = sqlite3_vfs_find("unix");
        m_vfs = *s_unix;
        m_vfs.zName = "file-waits";
        m_vfs.xSleep = sleep;
        sqlite3_vfs_register(&m_vfs, 1);
    }
    ~FileWaits()
    {
        sqlite3_vfs_unregister(&m_vfs);
        sqlite3_vfs_register(s_unix, 1);
    }
    FileWaits(const FileWaits &) = delete;
    FileWaits &operator=(const FileWaits &) = delete;

    // Milliseconds waited since the last call.
    static double takeWaitedMs() { return double(s_sleptUs.exchange(0)) / 1000; }

private:
    static int sleep(sqlite3_vfs *, int microseconds)
    {
        s_sleptUs += microseconds;
        return s_unix->xSleep(s_unix, microseconds);
    }

    static inline sqlite3_vfs *s_unix = nullptr;
    static inline std::atomic<qint64> s_sleptUs{0};
    sqlite3_vfs m_vfs{};
};
