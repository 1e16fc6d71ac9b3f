#include "phone/catalogue_pages.h"

#include "core/database.h"
#include "core/stroke_order.h"

namespace {

const QString kSongColumns =
    QStringLiteral("SELECT s.song_num, s.song_name, coalesce(g.singer_name, '找不到') FROM ") + StrokeOrder::kSongsWithSinger;
const QString kPaged = QStringLiteral(" LIMIT ? OFFSET ?");

qint64 offsetOf(int page)
{
    return qint64(qMax(1, page) - 1) * kPhonePageSize;
}

// Reads one row more than a page holds, to tell whether another page follows.
template <typename Page, typename Read>
Page readPage(Database &db, const QString &sql, SqlValues values, Read read)
{
    Page page;
    int rows = 0;
    db.forEachRow(sql, values, [&](const RowView &row) {
        if (++rows > kPhonePageSize) {
            page.more = true;
            return false;
        }
        read(page, row);
        return true;
    });
    return page;
}

SongPage songs(Database &db, const QString &where, SqlValues values)
{
    return readPage<SongPage>(db, kSongColumns + where + kPaged, values, [](SongPage &page, const RowView &row) {
        page.songs.push_back({row.text(0), row.text(1), row.text(2)});
    });
}

} // namespace

namespace CataloguePages {

SongPage songsOfKind(Database &db, int kind, int count, int page)
{
    if (count >= 10) {
        return songs(db, QStringLiteral("WHERE o.song_kind = ? AND o.song_text_count > 9 ORDER BY o.song_text_count, ")
                             + StrokeOrder::kTitle,
                     {kind, kPhonePageSize + 1, offsetOf(page)});
    }
    return songs(db, QStringLiteral("WHERE o.song_kind = ? AND o.song_text_count = ? ORDER BY ") + StrokeOrder::kTitle,
                 {kind, count, kPhonePageSize + 1, offsetOf(page)});
}

SingerPage singersOfGroup(Database &db, int group, int page)
{
    return readPage<SingerPage>(
        db,
        QStringLiteral("SELECT g.singer_code, g.singer_name FROM ") + StrokeOrder::kSingers
            + QStringLiteral("WHERE o.singer_sex = ? ORDER BY ") + StrokeOrder::kName + kPaged,
        {group - 1, kPhonePageSize + 1, offsetOf(page)},
        [](SingerPage &result, const RowView &row) { result.singers.push_back({row.integer(0), row.text(1)}); });
}

SongPage songsOfSinger(Database &db, qint64 singerCode, int page)
{
    return songs(db, QStringLiteral("WHERE o.song_singer_code = ? ORDER BY o.song_text_count, ") + StrokeOrder::kTitle,
                 {singerCode, kPhonePageSize + 1, offsetOf(page)});
}

} // namespace CataloguePages
