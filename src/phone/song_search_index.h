#pragma once

#include "phone/song_page.h"

#include <QHash>
#include <QString>

#include <vector>

class Database;

// The songs of the catalogue held in memory for the phone page's search box: a fragment of a
// title or a singer's name, or a catalogue number, is found among 100 000 songs in about a
// millisecond, where SQL would read the whole table for each letter typed. Songs come in
// list order (shorter titles first, then stroke order); a song whose number is exactly what
// was typed comes first. Letter case is ignored.
class SongSearchIndex
{
public:
    // Reads the catalogue again when its songs or singers changed since the last reading. Reads
    // a few thousand rows at a time, so writers never wait long for the file.
    void refresh(Database &db);
    SongPage find(const QString &text, int page) const;
    int size() const { return int(m_songs.size()); }

private:
    void load(Database &db);
    // Adds the rows whose text holds needle after those already in rows (the exact numbers),
    // in list order, until rows holds limit.
    void collect(const QString &needle, std::vector<int> &rows, size_t limit) const;
    // Where needle is next found in the songs' text from from on, or -1.
    qsizetype next(QStringView needle, qsizetype from) const;

    std::vector<SongEntry> m_songs;
    // "number\1title\1singer\2" of every song, case folded, in list order; m_starts[i] is
    // where song i begins.
    QString m_haystack;
    std::vector<qsizetype> m_starts;
    QMultiHash<QString, int> m_byNumber;
    qint64 m_changes = -1;
};
