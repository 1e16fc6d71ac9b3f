#include "print/song_selection.h"

#include "core/database.h"
#include "core/lookups.h"

namespace {

// The singer comes with the song, instead of one look-up per song; a code without a singer
// reads as a look-up that finds none.
const QString kSongColumns = QStringLiteral(
    "SELECT song.song_kind, song.song_text_count, song.song_name, song.song_num, "
    "coalesce(singer.singer_name, ?) FROM song LEFT JOIN singer ON singer.singer_code = song.song_singer_code ");
const QString kSinceDate = QStringLiteral("WHERE song_name LIKE ? ESCAPE '\\' AND song_build_date >= ? ");
const QString kBookOrder = QStringLiteral("ORDER BY song.song_kind, song.song_text_count, song.song_name");

} // namespace

SongSelection SongSelection::all()
{
    return SongSelection();
}

SongSelection SongSelection::since(const QString &date, const QString &titlePattern)
{
    SongSelection selection;
    selection.m_filtered = true;
    selection.m_date = date;
    selection.m_titlePattern = titlePattern;
    return selection;
}

int SongSelection::count(Database &db) const
{
    int n = 0;
    auto read = [&n](const RowView &row) {
        n = int(row.integer(0));
        return false;
    };
    if (m_filtered) {
        db.forEachRow(QStringLiteral("SELECT count(*) FROM song ") + kSinceDate, {m_titlePattern, m_date}, read);
    } else {
        db.forEachRow(QStringLiteral("SELECT count(*) FROM song"), {}, read);
    }
    return n;
}

void SongSelection::forEachSong(Database &db, const std::function<bool(const BookRow &)> &onSong) const
{
    BookRow song;
    auto read = [&](const RowView &row) {
        song.kind = int(row.integer(0));
        song.textCount = int(row.integer(1));
        song.name = row.text(2);
        song.num = row.text(3);
        song.singer = row.text(4);
        return onSong(song);
    };
    if (m_filtered)
        db.forEachRow(kSongColumns + kSinceDate + kBookOrder, {kNotFoundText, m_titlePattern, m_date}, read);
    else
        db.forEachRow(kSongColumns + kBookOrder, {kNotFoundText}, read);
}
