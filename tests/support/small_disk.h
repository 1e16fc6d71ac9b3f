#pragma once

#include <QString>
#include <QTemporaryDir>

// A folder on a file system of its own only a few bytes big, for runs that meet a full disk.
// Mounting needs root (CI runs as root); where it is refused, available() is false and the
// test skips, saying why.
class SmallDisk
{
public:
    explicit SmallDisk(qint64 bytes);
    ~SmallDisk();
    SmallDisk(const SmallDisk &) = delete;
    SmallDisk &operator=(const SmallDisk &) = delete;

    bool available() const { return m_mounted; }
    QString path() const { return m_dir.path(); }
    QString file(const QString &name) const { return m_dir.filePath(name); }
    // Why there is no small disk here.
    static const char *unavailableReason() { return "no small disk: mounting a tmpfs needs root"; }

private:
    QTemporaryDir m_dir;
    bool m_mounted = false;
};
