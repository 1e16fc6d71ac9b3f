#pragma once

#include "print/book_pass.h"

#include <QString>

#include <functional>

class Database;

// The songs a printed book covers, in book order (kind, title length, title), each with its
// singer's name: the whole catalogue, or the songs registered since a date whose title holds
// a keyword.
class SongSelection
{
public:
    static SongSelection all();
    // date as "YYYY/MM/DD"; titlePattern a LIKE pattern with "\" as its escape character.
    static SongSelection since(const QString &date, const QString &titlePattern);

    int count(Database &db) const;
    // Hands the songs over one at a time, never holding them all; onSong returns false to stop.
    void forEachSong(Database &db, const std::function<bool(const BookRow &)> &onSong) const;

private:
    bool m_filtered = false;
    QString m_date;
    QString m_titlePattern;
};
