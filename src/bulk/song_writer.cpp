#include "bulk/song_writer.h"

#include "catalogue/catalogue_store.h"
#include "core/database_error.h"

#include <utility>

namespace {
constexpr qint64 kCommitEveryMs = 250;
}

bool endsTheRun(const DatabaseError &e)
{
    return dynamic_cast<const CatalogueBusy *>(&e) || dynamic_cast<const CatalogueUnwritable *>(&e);
}

SongWriter::SongWriter(CatalogueStore &store)
    : m_store(store)
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
    if (!m_grouped) {
        m_store.beginGroup();
        m_grouped = true;
        m_sinceCommit.start();
    }
    const int stored = write() ? 1 : 0;
    (m_store.keepsEachChange() ? m_stored : m_pending) += stored;
    if (m_sinceCommit.elapsed() >= kCommitEveryMs)
        commit();
}

void SongWriter::commit()
{
    if (!std::exchange(m_grouped, false))
        return;
    const int pending = std::exchange(m_pending, 0);
    try {
        m_store.endGroup();
    } catch (const DatabaseError &) {
        m_lost += pending;
        throw;
    }
    m_stored += pending;
}
