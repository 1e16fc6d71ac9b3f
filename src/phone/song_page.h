#pragma once

#include <QString>

#include <vector>

// One song of a list on the phone page.
struct SongEntry
{
    QString number;
    QString title;
    QString singer;
};

// One page of a list of songs, and whether another page follows.
struct SongPage
{
    std::vector<SongEntry> songs;
    bool more = false;
};

// One singer of a list on the phone page.
struct SingerEntry
{
    qint64 code = 0;
    QString name;
};

struct SingerPage
{
    std::vector<SingerEntry> singers;
    bool more = false;
};

// How many songs or singers a page of the phone page holds.
constexpr int kPhonePageSize = 20;
