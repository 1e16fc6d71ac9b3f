#pragma once

#include "platform/cdg/cdg_song.h"
#include "platform/cdg/zip_archive.h"

#include <QString>

#include <cstdint>
#include <cstdio>
#include <memory>

// Reads one part of a CD+G song, a file or a zip member, from its start on, as the media
// engine asks for it. Used by one thread at a time.
class SongPartReader
{
public:
    explicit SongPartReader(CdgSongPart part);
    ~SongPartReader();
    SongPartReader(const SongPartReader &) = delete;
    SongPartReader &operator=(const SongPartReader &) = delete;

    bool isOpen() const { return m_file || m_member; }
    // Why the part cannot be read; empty while it can.
    QString problem() const { return m_problem; }
    // Its length in bytes; -1 when not known.
    std::int64_t size() const { return m_size; }

    // Up to size bytes; 0 at the end, or once reading failed (problem() then says why).
    std::size_t read(std::uint8_t *buffer, std::size_t size);
    // Reading goes on from offset. A zip member packed smaller cannot jump back: it is read
    // again from its start.
    bool seek(std::uint64_t offset);

private:
    bool openFile();
    bool openMember();
    void fail(const QString &problem);

    CdgSongPart m_part;
    std::FILE *m_file = nullptr;
    std::unique_ptr<ZipArchive> m_zip;
    std::unique_ptr<ZipArchive::Member> m_member;
    std::uint64_t m_position = 0;
    std::int64_t m_size = -1;
    QString m_problem;
};
