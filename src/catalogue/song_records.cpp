#include "catalogue/song_records.h"

#include "catalogue/catalogue_store.h"
#include "catalogue/catalogue_refusal.h"
#include "catalogue/record_checks.h"
#include "core/database.h"
#include "core/like_pattern.h"

void updateSong(CatalogueStore &store, const SongRecord &song)
{
    refuseIf(songFieldsProblem(song));
    SongRecord trimmed = song;
    trimmed.song_location = song.song_location.trimmed();
    store.change([&trimmed](CatalogueRows &rows) {
        rows.updateSong(trimmed);
        return true;
    });
}

void renameSong(CatalogueStore &store, const QString &songNum, const QString &title)
{
    refuseIf(titleProblem(title));
    store.change([&](CatalogueRows &rows) {
        rows.renameSong(songNum, title);
        return true;
    });
}

void deleteSong(CatalogueStore &store, const QString &songNum)
{
    store.change([&songNum](CatalogueRows &rows) {
        rows.deleteSong(songNum);
        return true;
    });
}

std::optional<SongRecord> findSong(Database &db, const QString &songNum)
{
    std::optional<SongRecord> found;
    db.forEachRow(QStringLiteral("SELECT song_num, song_kind, song_name, song_text_count, song_singer_code, "
                                 "song_build_date, song_location FROM song WHERE song_num = ? LIMIT 1"),
                  {songNum}, [&found](const RowView &row) {
                      found = SongRecord{row.text(0),        int(row.integer(1)), row.text(2), int(row.integer(3)),
                                         row.integer(4),     row.text(5),         row.text(6)};
                      return false;
                  });
    return found;
}

bool isSongNumberTaken(Database &db, const QString &songNum)
{
    bool taken = false;
    db.forEachRow(QStringLiteral("SELECT 1 FROM song WHERE song_num = ? LIMIT 1"), {songNum}, [&taken](const RowView &) {
        taken = true;
        return false;
    });
    return taken;
}

// The songs are read straight through the table: walking an index in list order would fetch
// every row of the catalogue one by one, many times slower than sorting the few that match.
QList<SongSearchHit> searchSongs(Database &db, const QString &titleFragment, const QString &singerFragment,
                                 int maxRows, bool *more)
{
    QList<SongSearchHit> hits;
    *more = false;
    db.forEachRow(
        QStringLiteral("SELECT song_num, song_name, singer_name FROM song AS b NOT INDEXED INNER JOIN singer AS a "
                       "ON a.singer_code = b.song_singer_code WHERE (song_name LIKE ?1")
            + kLikeEscape + QStringLiteral(" OR song_num LIKE ?1") + kLikeEscape
            + QStringLiteral(") AND singer_name LIKE ?2") + kLikeEscape
            + QStringLiteral(" ORDER BY song_text_count, (SELECT title_key FROM song_order AS o WHERE o.song_row = b.rowid)"),
        {likeFragment(titleFragment), likeFragment(singerFragment)}, [&](const RowView &row) {
            if (hits.size() == maxRows) {
                *more = true;
                return false;
            }
            hits.append({row.text(0), row.text(1), row.text(2)});
            return true;
        });
    return hits;
}
