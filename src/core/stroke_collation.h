#pragma once

#include <QByteArray>
#include <QString>

struct sqlite3;
struct UCollator;

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

// Sort keys in the same order, for sorting outside SQLite: two keys compared byte by byte
// order their texts as the collation does. One object serves one thread.
class StrokeSortKeys
{
public:
    StrokeSortKeys();
    ~StrokeSortKeys();
    StrokeSortKeys(const StrokeSortKeys &) = delete;
    StrokeSortKeys &operator=(const StrokeSortKeys &) = delete;

    QByteArray of(const QString &text) const;

private:
    UCollator *m_collator;
};
