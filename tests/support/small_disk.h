#pragma once

#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <cerrno>
#include <cstring>
#include <sys/mount.h>
#include <sys/statvfs.h>

// A disk of its own for one test: a small tmpfs mounted over a temporary folder, which the test
// fills until only a few KiB are free, so a write runs out of room on a real file system.
// Mounting needs root; on a machine that does not allow it mounted() is false and whyNot()
// says so, for the test's skip line.
class SmallDisk
{
public:
    explicit SmallDisk(qint64 bytes = 1024 * 1024)
    {
        const QByteArray options = "size=" + QByteArray::number(bytes);
        if (::mount("tmpfs", QFile::encodeName(m_dir.path()).constData(), "tmpfs", 0, options.constData()) == 0) {
            m_mounted = true;
            return;
        }
        m_problem = QStringLiteral("cannot mount a small tmpfs here (%1): the full-disk cases need root")
                        .arg(QString::fromLocal8Bit(std::strerror(errno)));
    }
    ~SmallDisk()
    {
        if (m_mounted)
            ::umount2(QFile::encodeName(m_dir.path()).constData(), MNT_DETACH);
    }
    SmallDisk(const SmallDisk &) = delete;
    SmallDisk &operator=(const SmallDisk &) = delete;

    bool mounted() const { return m_mounted; }
    QString whyNot() const { return m_problem; }
    QString path() const { return m_dir.path(); }
    QString file(const QString &name) const { return m_dir.filePath(name); }
    bool write(const QString &name, const QByteArray &bytes) const
    {
        QFile f(file(name));
        return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size() && f.flush();
    }
    QByteArray read(const QString &name) const
    {
        QFile f(file(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    // Names of the files on the disk, the filler aside.
    QStringList files() const { return QDir(m_dir.path()).entryList(QDir::Files); }

    // Fills the disk until just bytes are left (the disk counts in 4 KiB blocks).
    bool leaveFree(qint64 bytes)
    {
        QFile filler(file(QStringLiteral(".filler")));
        if (!filler.open(QIODevice::WriteOnly | QIODevice::Truncate) || !filler.flush())
            return false;
        struct statvfs disk {};
        if (::statvfs(QFile::encodeName(m_dir.path()).constData(), &disk) != 0)
            return false;
        qint64 left = qint64(disk.f_bavail) * qint64(disk.f_frsize) - bytes;
        const QByteArray block(4096, 'x');
        for (; left > 0; left -= block.size()) {
            const qint64 size = qMin(left, qint64(block.size()));
            if (filler.write(block.constData(), size) != size)
                return false;
        }
        return filler.flush();
    }
    // From now on nothing on the disk can be changed.
    bool makeReadOnly()
    {
        return ::mount(nullptr, QFile::encodeName(m_dir.path()).constData(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr)
            == 0;
    }

private:
    QTemporaryDir m_dir;
    bool m_mounted = false;
    QString m_problem;
};
