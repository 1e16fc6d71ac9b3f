#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// A disk of its own for one test: a small tmpfs mounted over a temporary folder, which the test
// fills until only a few KiB are free, so a write runs out of room on a real file system.
// Mounting needs root; on a machine that does not allow it mounted() is false and whyNot()
// says so, for the test's skip line.
class SmallDisk
{
public:
    explicit SmallDisk(qint64 bytes = 1024 * 1024);
    ~SmallDisk();
    SmallDisk(const SmallDisk &) = delete;
    SmallDisk &operator=(const SmallDisk &) = delete;

    bool mounted() const { return m_mounted; }
    QString whyNot() const { return m_problem; }
    QString path() const { return m_dir.path(); }
    QString file(const QString &name) const;
    bool write(const QString &name, const QByteArray &bytes) const;
    QByteArray read(const QString &name) const;
    // Names of the files on the disk, the filler aside.
    QStringList files() const;

    // Fills the disk until just bytes are left (the disk counts in 4 KiB blocks).
    bool leaveFree(qint64 bytes);
    // From now on nothing on the disk can be changed.
    bool makeReadOnly();

private:
    QTemporaryDir m_dir;
    bool m_mounted = false;
    QString m_problem;
};
