#include "platform/output_file.h"

#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace {

const QString kNoRoom = QStringLiteral("磁碟空間不足");
constexpr qsizetype kBlock = 64 * 1024;

// Why a write to file failed; Qt files a write refused for want of room as a resource error.
QString failureOf(const QFileDevice &file)
{
    switch (file.error()) {
    case QFileDevice::NoError:
        return QStringLiteral("檔案沒有完整寫入");
    case QFileDevice::ResourceError:
        return kNoRoom;
    default:
        return file.errorString();
    }
}

} // namespace

OutputFile::OutputFile(const QString &path)
    : m_file(path)
{
}

bool OutputFile::open()
{
    // A device or a pipe would be replaced by a regular file of that name.
    const QFileInfo existing(m_file.fileName());
    if (existing.exists() && !existing.isFile())
        return fail(QStringLiteral("這個名稱是資料夾、裝置或管道, 不是一般檔案"));
    // Unbuffered: the blocks gathered reach the system at once, so a failure names its cause.
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return fail(failureOf(m_file));
    m_writes.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    return true;
}

bool OutputFile::commit()
{
    QString reason;
    if (!m_writes.send())
        reason = failureOf(m_file);
    else
        flushToDisk(m_file, &reason);
    if (!reason.isEmpty()) {
        m_file.cancelWriting();
        return fail(reason);
    }
    if (!m_file.commit())
        return fail(failureOf(m_file));
    return true;
}

QString OutputFile::error() const
{
    return m_error.isEmpty() && failed() ? failureOf(m_file) : m_error;
}

bool OutputFile::write(const QString &path, const QByteArray &bytes, QString *error)
{
    OutputFile file(path);
    bool written = file.open();
    if (written) {
        file.device().write(bytes); // a short write fails the commit
        written = file.commit();
    }
    if (!written && error)
        *error = file.error();
    return written;
}

qint64 OutputFile::WholeWrites::writeData(const char *data, qint64 length)
{
    m_gathered.append(data, length);
    if (m_gathered.size() >= kBlock)
        send();
    return m_failed ? -1 : length;
}

bool OutputFile::WholeWrites::send()
{
    for (qint64 done = 0; done < m_gathered.size() && !m_failed;) {
        const qint64 written = m_file.write(m_gathered.constData() + done, m_gathered.size() - done);
        m_failed = written <= 0;
        done += qMax(written, qint64(0));
    }
    m_gathered.clear();
    return !m_failed;
}

bool OutputFile::fail(const QString &reason)
{
    m_error = reason;
    return false;
}

bool flushToDisk(QFileDevice &file, QString *error)
{
    QString reason;
    if (file.error() != QFileDevice::NoError || !file.flush())
        reason = failureOf(file);
    else if (::fsync(file.handle()) != 0)
        reason = errno == ENOSPC || errno == EDQUOT ? kNoRoom : QString::fromLocal8Bit(std::strerror(errno));
    if (error)
        *error = reason;
    return reason.isEmpty();
}
