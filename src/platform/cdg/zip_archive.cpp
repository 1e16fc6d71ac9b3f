#include "platform/cdg/zip_archive.h"

#include <QFile>

#include <zip.h>

ZipArchive::ZipArchive(const QString &path)
{
    int code = 0;
    m_zip = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &code);
    if (m_zip)
        return;
    zip_error_t error;
    zip_error_init_with_code(&error, code);
    m_error = QString::fromUtf8(zip_error_strerror(&error));
    zip_error_fini(&error);
}

ZipArchive::~ZipArchive()
{
    if (m_zip)
        zip_discard(m_zip);
}

QStringList ZipArchive::memberNames() const
{
    QStringList names;
    if (!m_zip)
        return names;
    const zip_int64_t count = zip_get_num_entries(m_zip, 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        const char *name = zip_get_name(m_zip, zip_uint64_t(i), ZIP_FL_ENC_GUESS);
        names.append(name ? QString::fromUtf8(name) : QString());
    }
    return names;
}

std::int64_t ZipArchive::memberSize(int index) const
{
    zip_stat_t stat;
    zip_stat_init(&stat);
    if (!m_zip || index < 0 || zip_stat_index(m_zip, zip_uint64_t(index), 0, &stat) != 0 || !(stat.valid & ZIP_STAT_SIZE))
        return -1;
    return std::int64_t(stat.size);
}

ZipArchive::Member::Member(ZipArchive &archive, int index)
{
    if (archive.m_zip && index >= 0)
        m_file = zip_fopen_index(archive.m_zip, zip_uint64_t(index), 0);
}

ZipArchive::Member::~Member()
{
    if (m_file)
        zip_fclose(m_file);
}

std::int64_t ZipArchive::Member::read(void *buffer, std::uint64_t size)
{
    return m_file ? zip_fread(m_file, buffer, size) : -1;
}
