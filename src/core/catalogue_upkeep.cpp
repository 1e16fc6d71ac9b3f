#include "core/catalogue_upkeep.h"

#include "core/database.h"
#include "core/database_error.h"
#include "core/derived_rows.h"

#include <QtDebug>

namespace {

// What tells that another program wrote: the change count its triggers keep, and the schema
// version, which moves when a table is rebuilt (and its triggers with it).
struct Marks
{
    qint64 changes = -1;
    qint64 schema = -1;
    bool operator==(const Marks &) const = default;
};

Marks marksOf(Database &db)
{
    ReadTransaction read(db);
    Marks marks;
    marks.changes = db.OpenRecordset(QStringLiteral("SELECT changes FROM catalogue_changes")).value(0).toLongLong();
    marks.schema = db.OpenRecordset(QStringLiteral("PRAGMA schema_version")).value(0).toLongLong();
    return marks;
}

} // namespace

CatalogueUpkeep::CatalogueUpkeep(QString dbPath)
    : m_dbPath(std::move(dbPath))
{
    m_worker.start([this] { run(); });
}

CatalogueUpkeep::~CatalogueUpkeep()
{
    m_worker.stop();
}

void CatalogueUpkeep::lookNow()
{
    m_worker.hand([this] { m_asked = true; });
}

bool CatalogueUpkeep::flush(int timeoutMs)
{
    return m_worker.flush(timeoutMs);
}

void CatalogueUpkeep::run()
{
    Database db(m_dbPath);
    db.setBusyWait(kBusyWaitMs);
    Marks seen;
    for (;;) {
        const WorkerThread::Turn turn =
            m_worker.wait([this] { return m_asked; }, [this] { m_asked = false; }, kLookEveryMs);
        if (turn.stop)
            return;
        try {
            if (turn.ticket != 0 || marksOf(db) != seen) {
                DerivedRows::keepInStep(db, DerivedRows::Pace::WhileRunning);
                seen = marksOf(db);
            }
        } catch (const DatabaseError &e) {
            // Looked at again in a second.
            qWarning("catalogue upkeep waits: %s", qPrintable(e.message()));
        }
        m_worker.done(turn.ticket);
    }
}
