#include "bulk/song_writer.h"

#include "catalogue/catalogue_master.h"
#include "core/database.h"
#include "core/database_error.h"

#include <utility>

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
    if (CatalogueMaster *master = m_db.master())
        return writeOnMaster(*master, write);
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

// Each song is a transaction of its own on the venue's server, stored once it returns; the
// room's copy catches up with the group at its commit.
void SongWriter::writeOnMaster(CatalogueMaster &master, const std::function<bool()> &write)
{
    if (!m_masterGroup) {
        master.beginGroup();
        m_masterGroup = &master;
        m_sinceCommit.start();
    }
    m_stored += write() ? 1 : 0;
    if (m_sinceCommit.elapsed() >= kCommitEveryMs)
        commit();
}

void SongWriter::commit()
{
    if (CatalogueMaster *master = std::exchange(m_masterGroup, nullptr))
        master->endGroup();
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
