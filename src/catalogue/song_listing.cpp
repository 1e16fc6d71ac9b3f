#include "catalogue/song_listing.h"

#include "core/database.h"
#include "core/like_pattern.h"
#include "core/lookups.h"
#include "core/stroke_order.h"

#include <QHash>

namespace {

using RowHandler = std::function<bool(const RowView &)>;

// The singer comes with the song, instead of one look-up per song.
const QString kSongColumns =
    QStringLiteral("SELECT s.song_kind, s.song_text_count, s.song_name, s.song_num, g.singer_name FROM ")
    + StrokeOrder::kSongsWithSinger;
const QString kSinceDate = QStringLiteral("WHERE song_name LIKE ? ESCAPE '\\' AND song_build_date >= ? ");
const QString kBookOrder = QStringLiteral("ORDER BY o.song_kind, o.song_text_count, ") + StrokeOrder::kTitle;

// Runs select, the filter's condition when it has one, then rest.
void forEachRowOf(Database &db, const SongFilter &filter, const QString &select, const QString &rest,
                  const RowHandler &onRow)
{
    if (filter.filtered)
        db.forEachRow(select + kSinceDate + rest, {likeFragment(filter.titleFragment), filter.date}, onRow);
    else
        db.forEachRow(select + rest, {}, onRow);
}

// The singers of every number the filter covers, joined by "+", read in one query: all
// singers registered under the number, whatever the title or date of their own row.
QHash<QString, QString> singersByNumber(Database &db, const SongFilter &filter)
{
    QHash<QString, QString> singers;
    forEachRowOf(db, filter,
                 QStringLiteral("SELECT DISTINCT s.song_num, g.singer_code, g.singer_name FROM song s JOIN singer g "
                                "ON g.singer_code = s.song_singer_code WHERE s.song_num IN (SELECT song_num FROM song "),
                 QStringLiteral(") ORDER BY s.song_num, g.singer_code"), [&singers](const RowView &row) {
                     QString &names = singers[row.text(0)];
                     if (!names.isEmpty())
                         names += QLatin1Char('+');
                     names += row.text(2);
                     return true;
                 });
    return singers;
}

} // namespace

int countSongs(Database &db, const SongFilter &filter)
{
    int n = 0;
    forEachRowOf(db, filter, QStringLiteral("SELECT count(*) FROM song "), QString(), [&n](const RowView &row) {
        n = int(row.integer(0));
        return false;
    });
    return n;
}

void forEachListedSong(Database &db, const SongFilter &filter, const std::function<bool(const ListedSong &)> &onSong)
{
    ListedSong song;
    forEachRowOf(db, filter, kSongColumns, kBookOrder, [&](const RowView &row) {
        song.kind = int(row.integer(0));
        song.textCount = int(row.integer(1));
        song.name = row.text(2);
        song.num = row.text(3);
        // A code without a singer reads as a look-up that finds none.
        song.singer = row.isNull(4) ? kNotFoundText : row.text(4);
        return onSong(song);
    });
}

std::vector<ListedSong> listSongsByNumber(Database &db, const SongFilter &filter)
{
    std::vector<ListedSong> songs;
    forEachRowOf(db, filter,
                 QStringLiteral("SELECT DISTINCT s.song_num, s.song_name, s.song_kind, s.song_text_count, o.song_kind, "
                                "o.song_text_count, o.title_key FROM ")
                     + StrokeOrder::kSongs,
                 kBookOrder, [&songs](const RowView &row) {
                     songs.push_back({int(row.integer(2)), int(row.integer(3)), row.text(1), row.text(0), {}});
                     return true;
                 });
    const QHash<QString, QString> singers = singersByNumber(db, filter);
    for (ListedSong &song : songs)
        song.singer = singers.value(song.num);
    return songs;
}
