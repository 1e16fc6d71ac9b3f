#include "bulk/song_writer.h"

#include "core/database_error.h"

namespace {
constexpr qint64 kCommitEveryMs = 250;
}

bool endsTheRun(const DatabaseError &e)
{
    return dynamic_cast<const CatalogueBusy *>(&e) || dynamic_cast<const CatalogueUnwritable *>(&e);
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

void SongWriter::writeSong(const std::function<bool()> &write)
{
    if (!m_group) {
        m_group.emplace(m_db);
        m_sinceCommit.start();
    }
    ScopedTransaction song(m_db);
    const bool stored = write();
    song.commit();
    m_pending += stored ? 1 : 0;
    if (m_sinceCommit.elapsed() >= kCommitEveryMs)
        commit();
}

void SongWriter::commit()
{
    if (!m_group)
        return;
    const int pending = m_pending;
    m_pending = 0;
    try {
        m_group->commit();
    } catch (const DatabaseError &) {
        m_group.reset();
        m_lost += pending;
        throw;
    }
    m_group.reset();
    m_stored += pending;
}
