#include "catalogue/file_stamp.h"

#include "catalogue/song_files.h"

#include <QFile>

#include <sys/stat.h>

std::optional<FileStamp> stampOfSongFile(const QString &path)
{
    FileStamp stamp;
    for (const QString &part : songFileParts(path)) {
        struct stat status{};
        if (::stat(QFile::encodeName(part).constData(), &status) != 0 || !S_ISREG(status.st_mode))
            return std::nullopt;
        stamp.size += qint64(status.st_size);
        stamp.modifiedNs = qMax(stamp.modifiedNs, qint64(status.st_mtim.tv_sec) * 1000000000 + status.st_mtim.tv_nsec);
    }
    return stamp;
}
