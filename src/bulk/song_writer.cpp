#include "bulk/song_writer.h"

#include "core/database_error.h"

namespace {
constexpr qint64 kCommitEveryMs = 250;
}

SongWriter::SongWriter(Database &db)
    : m_db(db)
{
}

SongWriter::~SongWriter()
{
    try {
        commit();
    } catch (const DatabaseError &) {
        // Ending without a commit rolls the open group back; each song stays whole.
    }
}

void SongWriter::writeSong(const std::function<void()> &write)
{
    if (!m_group) {
        m_group.emplace(m_db);
        m_sinceCommit.start();
    }
    ScopedTransaction song(m_db);
    write();
    song.commit();
    if (m_sinceCommit.elapsed() >= kCommitEveryMs)
        commit();
}

void SongWriter::commit()
{
    if (!m_group)
        return;
    m_group->commit();
    m_group.reset();
}
