#pragma once

#include <QString>

// Opens a transaction on the catalogue; rolls back unless commit() is called.
class ScopedTransaction
{
public:
    explicit ScopedTransaction(const QString &dbPath);
    ~ScopedTransaction();
    ScopedTransaction(const ScopedTransaction &) = delete;
    ScopedTransaction &operator=(const ScopedTransaction &) = delete;

    void commit();

private:
    QString m_dbPath;
    bool m_open = false;
};
