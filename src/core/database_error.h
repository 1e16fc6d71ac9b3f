#pragma once

#include <QString>

#include <stdexcept>

// A statement or query on the catalogue failed. The window that started the operation
// catches it and tells the user what failed.
class DatabaseError : public std::runtime_error
{
public:
    explicit DatabaseError(const QString &message)
        : std::runtime_error(message.toStdString())
        , m_message(message)
    {
    }
    const QString &message() const { return m_message; }

private:
    QString m_message;
};

// Another program holds the catalogue's lock longer than the short wait allowed: the data is
// there, only not now. Callers keep what they were doing (a queued song stays queued) and
// try again later.
class CatalogueBusy : public DatabaseError
{
public:
    using DatabaseError::DatabaseError;
};

// The catalogue cannot be written at all: the disk is full, the file is read-only, or the
// disk fails. Every further write would fail the same way, so a long run stops at once.
class CatalogueUnwritable : public DatabaseError
{
public:
    using DatabaseError::DatabaseError;
};

// The catalogue cannot be shared between connections: its file system gives the write-ahead
// log's index no shared memory (some network file systems), or the file cannot be written.
class CatalogueUnshared : public CatalogueUnwritable
{
public:
    using CatalogueUnwritable::CatalogueUnwritable;
};
