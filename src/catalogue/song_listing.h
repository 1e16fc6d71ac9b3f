#pragma once

#include <QString>

#include <functional>
#include <vector>

class Database;

// A song as the printed song book and the list of new songs show it.
struct ListedSong
{
    int kind = 0;
    int textCount = 0;
    QString name;
    QString num;
    QString singer; // "找不到" for a singer code without a singer
};

// The songs a printed list covers: every song, or those registered on or after a date whose
// title holds a fragment (a typed "%" or "_" means itself).
struct SongFilter
{
    static SongFilter all() { return {}; }
    static SongFilter since(const QString &date, const QString &titleFragment)
    {
        return {true, date, titleFragment};
    }

    bool filtered = false;
    QString date; // "YYYY/MM/DD"
    QString titleFragment;
};

// Every function reads in book order (kind, title length, title in stroke order) and throws
// DatabaseError.

// How many song records the filter covers.
int countSongs(Database &db, const SongFilter &filter);
// One entry per song record (a song of two singers twice), handed over one at a time without
// holding them all; onSong returns false to stop.
void forEachListedSong(Database &db, const SongFilter &filter, const std::function<bool(const ListedSong &)> &onSong);
// One entry per song number, its singer being the names of all singers registered under the
// number, joined by "+".
std::vector<ListedSong> listSongsByNumber(Database &db, const SongFilter &filter);
