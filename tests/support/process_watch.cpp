#include "support/process_watch.h"

#include <algorithm>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>

#include <sys/resource.h>

#if defined(__SANITIZE_ADDRESS__)
#define KARAOKE_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KARAOKE_ASAN 1
#endif
#endif

namespace {

#ifdef KARAOKE_ASAN
// ASan's limits for every process of a test that calls limitOwnMemory (read at start).
const char kAsanLimits[] = "hard_rss_limit_mb=3072:max_allocation_size_mb=1024";
#endif

qint64 statusField(qint64 pid, const QByteArray &field)
{
    QFile status(pid == 0 ? QStringLiteral("/proc/self/status") : QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(field + ':'))
            return line.mid(field.size() + 1).trimmed().split(' ').value(0).toLongLong() * 1024;
    }
    return -1;
}

} // namespace

#ifdef KARAOKE_ASAN
extern "C" const char *__asan_default_options()
{
    return kAsanLimits;
}
#endif

namespace ProcessWatch {

qint64 residentBytes(qint64 pid)
{
    return statusField(pid, "VmRSS");
}

int buildSlowdown()
{
#ifdef KARAOKE_ASAN
    return 4;
#else
    return 1;
#endif
}

int openSockets()
{
    const QDir descriptors(QStringLiteral("/proc/self/fd"));
    const QStringList names = descriptors.entryList(QDir::Files | QDir::System | QDir::NoDotAndDotDot);
    return int(std::count_if(names.begin(), names.end(), [&](const QString &name) {
        return QFile::symLinkTarget(descriptors.filePath(name)).contains(QLatin1String("socket:"));
    }));
}

void limitOwnMemory(qint64 extraBytes)
{
#ifdef KARAOKE_ASAN
    Q_UNUSED(extraBytes); // __asan_default_options holds this process
#else
    const rlim_t limit = rlim_t(statusField(0, "VmSize") + extraBytes);
    const rlimit asked{limit, limit};
    setrlimit(RLIMIT_AS, &asked);
#endif
}

void limitChildMemory(QProcess &process, qint64 bytes)
{
#ifdef KARAOKE_ASAN
    QProcessEnvironment environment = process.processEnvironment();
    if (environment.isEmpty())
        environment = QProcessEnvironment::systemEnvironment();
    const QString before = environment.value(QStringLiteral("ASAN_OPTIONS"));
    environment.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("%1%2hard_rss_limit_mb=%3:max_allocation_size_mb=1024")
                                                           .arg(before, before.isEmpty() ? QString() : QStringLiteral(":"))
                                                           .arg(bytes >> 20));
    process.setProcessEnvironment(environment);
#else
    process.setChildProcessModifier([bytes] {
        const rlimit asked{rlim_t(bytes), rlim_t(bytes)};
        setrlimit(RLIMIT_AS, &asked);
    });
#endif
}

} // namespace ProcessWatch
