#pragma once

#include "core/scoped_transaction.h"

#include <QElapsedTimer>

#include <functional>
#include <optional>

class Database;

// Writes songs one at a time, each whole or not at all: every song is a savepoint inside a
// transaction that is committed about every quarter of a second, so a crash or a kill leaves
// each song registered or absent while the disk is synced a few times a second instead of
// once per song. What is written is committed when the writer ends.
class SongWriter
{
public:
    explicit SongWriter(Database &db);
    ~SongWriter();
    SongWriter(const SongWriter &) = delete;
    SongWriter &operator=(const SongWriter &) = delete;

    // Runs write as one piece: on an exception nothing of it stays and the exception goes on.
    void writeSong(const std::function<void()> &write);
    // Commits every song written so far, before a dialog or a file deletion that must follow it.
    void commit();

private:
    Database &m_db;
    std::optional<ScopedTransaction> m_group;
    QElapsedTimer m_sinceCommit;
};
