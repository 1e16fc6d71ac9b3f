#include "platform/cdg/song_part_reader.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <array>

#include <sys/stat.h>

SongPartReader::SongPartReader(CdgSongPart part)
    : m_part(std::move(part))
{
    if (m_part.inZip())
        openMember();
    else
        openFile();
}

SongPartReader::~SongPartReader()
{
    if (m_file)
        std::fclose(m_file);
}

// Only a regular file is opened: a pipe under a song's name would hold the player forever.
bool SongPartReader::openFile()
{
    if (!QFileInfo(m_part.file).isFile()) {
        fail(QStringLiteral("找不到這個檔案:") + m_part.file);
        return false;
    }
    m_file = std::fopen(QFile::encodeName(m_part.file).constData(), "rb");
    struct stat status{};
    if (!m_file || fstat(fileno(m_file), &status) != 0 || !S_ISREG(status.st_mode)) {
        fail(QStringLiteral("無法讀取這個檔案:") + m_part.file);
        return false;
    }
    m_size = status.st_size;
    return true;
}

bool SongPartReader::openMember()
{
    m_member.reset();
    if (!m_zip)
        m_zip = std::make_unique<ZipArchive>(m_part.file);
    if (m_zip->isOpen())
        m_member = std::make_unique<ZipArchive::Member>(*m_zip, m_part.member);
    if (!m_member || !m_member->isOpen()) {
        fail(QStringLiteral("無法讀取壓縮檔:") + m_part.file);
        return false;
    }
    m_size = m_zip->memberSize(m_part.member);
    m_position = 0;
    return true;
}

void SongPartReader::fail(const QString &problem)
{
    m_problem = problem;
    m_member.reset();
    if (m_file)
        std::fclose(m_file);
    m_file = nullptr;
}

std::size_t SongPartReader::read(std::uint8_t *buffer, std::size_t size)
{
    if (m_file) {
        const std::size_t got = std::fread(buffer, 1, size, m_file);
        if (got == 0 && std::ferror(m_file))
            fail(QStringLiteral("無法讀取這個檔案:") + m_part.file);
        m_position += got;
        return got;
    }
    if (!m_member)
        return 0;
    const std::int64_t got = m_member->read(buffer, size);
    if (got < 0) {
        fail(QStringLiteral("壓縮檔已損壞:") + m_part.file);
        return 0;
    }
    m_position += std::uint64_t(got);
    return std::size_t(got);
}

bool SongPartReader::seek(std::uint64_t offset)
{
    if (m_file) {
        if (fseeko(m_file, off_t(offset), SEEK_SET) != 0)
            return false;
        m_position = offset;
        return true;
    }
    if (!m_member)
        return false;
    if (offset < m_position && !openMember())
        return false;
    std::array<std::uint8_t, 65536> skipped;
    while (m_position < offset) {
        const std::size_t step = std::size_t(std::min<std::uint64_t>(skipped.size(), offset - m_position));
        if (read(skipped.data(), step) == 0)
            return false;
    }
    return true;
}
