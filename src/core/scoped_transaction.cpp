#include "core/scoped_transaction.h"

#include "core/database.h"
#include "core/database_error.h"

namespace {
const QString kBegin = QStringLiteral("BEGIN IMMEDIATE");
const QString kCommit = QStringLiteral("COMMIT");
const QString kRollback = QStringLiteral("ROLLBACK");
const QString kSavepoint = QStringLiteral("SAVEPOINT piece");
const QString kRelease = QStringLiteral("RELEASE piece");
const QString kRollbackPiece = QStringLiteral("ROLLBACK TO piece");
} // namespace

ScopedTransaction::ScopedTransaction(Database &db)
    : m_db(db)
    , m_outermost(!db.inTransaction())
{
    m_db.ExecuteSql(m_outermost ? kBegin : kSavepoint);
    m_open = true;
}

ScopedTransaction::~ScopedTransaction()
{
    if (!m_open || !m_db.inTransaction())
        return;
    try {
        if (m_outermost) {
            m_db.ExecuteSql(kRollback);
        } else {
            m_db.ExecuteSql(kRollbackPiece);
            m_db.ExecuteSql(kRelease);
        }
    } catch (const DatabaseError &) {
        // Nothing more can be done while unwinding; SQLite rolls back on close anyway.
    }
}

void ScopedTransaction::commit()
{
    m_db.ExecuteSql(m_outermost ? kCommit : kRelease);
    m_open = false;
}
