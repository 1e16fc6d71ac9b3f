#pragma once

#include <QByteArray>
#include <QString>

struct UCollator;

// Titles and names in the order of a Traditional-Chinese song book: ICU's collation for
// Taiwan (fewer strokes first, then radical, then code point; digits before Chinese, Latin
// letters after), with letter case ignored as the catalogue's NOCASE columns ignore it. The
// catalogue keeps each title's and name's sort key (derived_rows.h), so SQLite orders them
// byte by byte with its own collation and the file needs nothing of this program.
class StrokeSortKeys
{
public:
    StrokeSortKeys();
    ~StrokeSortKeys();
    StrokeSortKeys(const StrokeSortKeys &) = delete;
    StrokeSortKeys &operator=(const StrokeSortKeys &) = delete;

    // Two keys compared byte by byte order their texts as the collation does. One object
    // serves one thread.
    QByteArray of(const QString &text) const;

    // Which ordering this program's ICU gives; keys made under another are made again.
    static QString version();

private:
    UCollator *m_collator;
};
