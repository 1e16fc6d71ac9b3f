#include "core/scoped_transaction.h"

#include "core/database.h"
#include "core/database_error.h"

ScopedTransaction::ScopedTransaction(const QString &dbPath)
    : m_dbPath(dbPath)
{
    ExecuteSql(QStringLiteral("BEGIN IMMEDIATE"), m_dbPath);
    m_open = true;
}

ScopedTransaction::~ScopedTransaction()
{
    if (!m_open)
        return;
    try {
        ExecuteSql(QStringLiteral("ROLLBACK"), m_dbPath);
    } catch (const DatabaseError &) {
        // Nothing more can be done while unwinding; SQLite rolls back on close anyway.
    }
}

void ScopedTransaction::commit()
{
    ExecuteSql(QStringLiteral("COMMIT"), m_dbPath);
    m_open = false;
}
