#include "phone/song_search_index.h"

#include "core/database.h"
#include "core/database_error.h"
#include "core/stroke_collation.h"

#include <algorithm>

namespace {

constexpr int kChunkRows = 4000;
const QString kChunk = QStringLiteral(
    "SELECT song.rowid, song_num, song_name, song_text_count, coalesce(singer_name, '') "
    "FROM song LEFT JOIN singer ON singer_code = song_singer_code WHERE song.rowid > ? ORDER BY song.rowid LIMIT ?");
const QChar kFieldEnd(1);
const QChar kSongEnd(2);

struct LoadedSong
{
    SongEntry entry;
    qint64 textCount;
    QByteArray titleKey;
};

qint64 catalogueChanges(Database &db)
{
    qint64 changes = 0;
    db.forEachRow(QStringLiteral("SELECT changes FROM catalogue_changes"), {}, [&changes](const RowView &row) {
        changes = row.integer(0);
        return false;
    });
    return changes;
}

// Every song, a chunk at a time by rowid: between chunks the file is free for writers.
std::vector<LoadedSong> readSongs(Database &db)
{
    const StrokeSortKeys keys;
    std::vector<LoadedSong> songs;
    for (qint64 after = 0;;) {
        int rows = 0;
        db.forEachRow(kChunk, {after, kChunkRows}, [&](const RowView &row) {
            after = row.integer(0);
            SongEntry entry{row.text(1), row.text(2), row.text(4)};
            QByteArray key = keys.of(entry.title);
            songs.push_back({std::move(entry), row.integer(3), std::move(key)});
            ++rows;
            return true;
        });
        if (rows < kChunkRows)
            return songs;
    }
}

} // namespace

void SongSearchIndex::refresh(Database &db)
{
    // A guest typing never waits for another's order to reach the disk: while the catalogue
    // file is locked for a write, the songs read last time serve (they are a moment old).
    if (m_changes >= 0)
        db.setBusyWait(0);
    qint64 changes = m_changes;
    try {
        changes = catalogueChanges(db);
    } catch (const CatalogueBusy &) {
    }
    db.setBusyWait(Database::kBusyWaitMs);
    if (changes == m_changes)
        return;
    // A change while reading raises the count again, and the next search reads once more.
    load(db);
    m_changes = changes;
}

void SongSearchIndex::load(Database &db)
{
    std::vector<LoadedSong> songs = readSongs(db);
    std::sort(songs.begin(), songs.end(), [](const LoadedSong &a, const LoadedSong &b) {
        if (a.textCount != b.textCount)
            return a.textCount < b.textCount;
        if (a.titleKey != b.titleKey)
            return a.titleKey < b.titleKey;
        return a.entry.number < b.entry.number;
    });
    m_songs.clear();
    m_songs.reserve(songs.size());
    m_starts.clear();
    m_starts.reserve(songs.size() + 1);
    m_byNumber.clear();
    m_haystack.clear();
    for (LoadedSong &song : songs) {
        const SongEntry &e = song.entry;
        m_starts.push_back(m_haystack.size());
        m_haystack += e.number + kFieldEnd + e.title.toCaseFolded() + kFieldEnd + e.singer.toCaseFolded() + kSongEnd;
        m_byNumber.insert(e.number, int(m_songs.size()));
        m_songs.push_back(std::move(song.entry));
    }
    m_starts.push_back(m_haystack.size());
}

SongPage SongSearchIndex::find(const QString &text, int page) const
{
    if (text.isEmpty() || page < 1)
        return {};
    // One song more than the pages hold tells whether another page follows.
    const size_t wanted = size_t(page) * kPhonePageSize + 1;
    const QList<int> exact = m_byNumber.values(text);
    std::vector<int> rows(exact.begin(), exact.end());
    std::sort(rows.begin(), rows.end());
    collect(text.toCaseFolded(), rows, wanted);
    SongPage result;
    const size_t first = size_t(page - 1) * kPhonePageSize;
    for (size_t i = first; i < rows.size() && i < first + kPhonePageSize; ++i)
        result.songs.push_back(m_songs[size_t(rows[i])]);
    result.more = rows.size() >= wanted;
    return result;
}

// The needle's first character is looked for alone (a vectorised scan; a Chinese character
// is rare enough that few places need the rest compared), then the rest is compared there.
qsizetype SongSearchIndex::next(QStringView needle, qsizetype from) const
{
    const QStringView haystack(m_haystack);
    for (qsizetype at = haystack.indexOf(needle.front(), from); at >= 0; at = haystack.indexOf(needle.front(), at + 1)) {
        if (haystack.mid(at, needle.size()) == needle)
            return at;
    }
    return -1;
}

void SongSearchIndex::collect(const QString &needle, std::vector<int> &rows, size_t limit) const
{
    const std::vector<int> exact = rows;
    qsizetype from = 0;
    while (rows.size() < limit) {
        const qsizetype at = next(needle, from);
        if (at < 0)
            return;
        const auto next = std::upper_bound(m_starts.begin(), m_starts.end(), at);
        const int row = int(next - m_starts.begin()) - 1;
        if (!std::binary_search(exact.begin(), exact.end(), row))
            rows.push_back(row);
        from = *next; // the next song: one match per song
    }
}
