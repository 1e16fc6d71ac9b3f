#include "support/small_disk.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <sys/mount.h>
#include <sys/statvfs.h>

namespace {
const QString kFiller = QStringLiteral(".filler");
} // namespace

SmallDisk::SmallDisk(qint64 bytes)
{
    const QByteArray path = QFile::encodeName(m_dir.path());
    const QByteArray options = "size=" + QByteArray::number(bytes);
    if (::mount("tmpfs", path.constData(), "tmpfs", 0, options.constData()) == 0) {
        m_mounted = true;
        return;
    }
    m_problem = QStringLiteral("cannot mount a small tmpfs here (%1): the full-disk cases need root")
                    .arg(QString::fromLocal8Bit(std::strerror(errno)));
}

SmallDisk::~SmallDisk()
{
    if (m_mounted)
        ::umount2(QFile::encodeName(m_dir.path()).constData(), MNT_DETACH);
}

QString SmallDisk::file(const QString &name) const
{
    return m_dir.filePath(name);
}

bool SmallDisk::write(const QString &name, const QByteArray &bytes) const
{
    QFile f(file(name));
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size() && f.flush();
}

QByteArray SmallDisk::read(const QString &name) const
{
    QFile f(file(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QStringList SmallDisk::files() const
{
    return QDir(m_dir.path()).entryList(QDir::Files);
}

bool SmallDisk::leaveFree(qint64 bytes)
{
    QFile filler(file(kFiller));
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

bool SmallDisk::makeReadOnly()
{
    return ::mount(nullptr, QFile::encodeName(m_dir.path()).constData(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr)
        == 0;
}
