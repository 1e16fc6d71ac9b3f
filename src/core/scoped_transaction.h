#pragma once

class Database;

// Opens a transaction on the catalogue; rolls back unless commit() is called. Transactions
// nest: an inner one is a savepoint, so a routine that writes as one piece can be called
// alone or as part of a larger change.
class ScopedTransaction
{
public:
    explicit ScopedTransaction(Database &db);
    ~ScopedTransaction();
    ScopedTransaction(const ScopedTransaction &) = delete;
    ScopedTransaction &operator=(const ScopedTransaction &) = delete;

    void commit();

private:
    Database &m_db;
    bool m_outermost = false;
    bool m_open = false;
};
