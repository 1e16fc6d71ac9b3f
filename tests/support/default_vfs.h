#pragma once

#include <sqlite3.h>

// SQLite's own unix files with some of their calls replaced, made the default for every
// connection opened while this lives (and unix again afterwards). It must outlive those
// connections. `ownFiles()` is SQLite's own, for the replacements to call through.
class DefaultVfs
{
public:
    explicit DefaultVfs(const char *name)
    {
        m_vfs = *ownFiles();
        m_vfs.zName = name;
    }
    ~DefaultVfs()
    {
        sqlite3_vfs_unregister(&m_vfs);
        sqlite3_vfs_register(ownFiles(), 1);
    }
    DefaultVfs(const DefaultVfs &) = delete;
    DefaultVfs &operator=(const DefaultVfs &) = delete;

    static sqlite3_vfs *ownFiles() { return sqlite3_vfs_find("unix"); }

protected:
    // Called by the owner once its replacements are set in vfs().
    void makeDefault() { sqlite3_vfs_register(&m_vfs, 1); }
    sqlite3_vfs &vfs() { return m_vfs; }

private:
    sqlite3_vfs m_vfs{};
};
