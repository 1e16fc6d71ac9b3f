#include "catalogue/similar_titles.h"

#include "core/database.h"
#include "core/like_pattern.h"

QList<SimilarSong> findSimilarTitles(Database &db, const QString &title, int count, int maxRows)
{
    QList<SimilarSong> songs;
    db.forEachRow(QStringLiteral("SELECT song_num, song_name, song_singer_code FROM song WHERE song_name LIKE ?")
                      + kLikeEscape + QStringLiteral(" AND song_text_count = ? ORDER BY rowid"),
                  {likePrefix(title.trimmed()), count}, [&](const RowView &row) {
                      songs.append({row.text(0), row.text(1), row.integer(2)});
                      return maxRows < 0 || songs.size() < maxRows;
                  });
    return songs;
}

QList<SimilarSong> findTitlesBeginningWith(Database &db, const QString &title)
{
    QList<SimilarSong> songs;
    db.forEachRow(QStringLiteral("SELECT DISTINCT song_name, song_num FROM song WHERE song_name LIKE ?") + kLikeEscape,
                  {likePrefix(title)}, [&songs](const RowView &row) {
                      songs.append({row.text(1), row.text(0), 0});
                      return true;
                  });
    return songs;
}

QString similarTitleMessage(const SimilarSong &song, const QString &singerName, const QString &ending)
{
    return song.song_name + QStringLiteral("與編號") + song.song_num + QLatin1Char(',') + singerName + ending;
}
