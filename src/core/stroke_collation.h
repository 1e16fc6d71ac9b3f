#pragma once

#include <QString>

struct sqlite3;

// Titles and names in the order of a Traditional-Chinese song book: ICU's collation for
// Taiwan (fewer strokes first, then radical, then code point; digits before Chinese, Latin
// letters after), with letter case ignored as the catalogue's NOCASE columns ignore it.
// SQL asks for it by name: "ORDER BY song_name COLLATE STROKE".
class StrokeCollation
{
public:
    static constexpr const char *kName = "STROKE";

    // Makes the collation known to a connection, before anything is read through it;
    // returns an SQLite error code, SQLITE_OK when it is registered.
    static int registerOn(sqlite3 *handle);
    // Which ordering this program's ICU gives; an index built under another one is out of order.
    static QString version();
};
