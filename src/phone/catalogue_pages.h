#pragma once

#include "phone/song_page.h"

class Database;

// The phone page's browsing, as the keypad browses: songs of a kind by title length, singers
// of a group, songs of a singer; in the keypad's order, a page at a time. Throw DatabaseError.
namespace CataloguePages {

// count 10 stands for every title of ten characters or more.
SongPage songsOfKind(Database &db, int kind, int count, int page);
// group 1 women, 2 men, 3 groups and others.
SingerPage singersOfGroup(Database &db, int group, int page);
SongPage songsOfSinger(Database &db, qint64 singerCode, int page);

} // namespace CataloguePages
