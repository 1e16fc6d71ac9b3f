#include "manage/song_records.h"

#include "core/database.h"
#include "core/scoped_transaction.h"

#include <QStringList>

void insertSong(Database &db, const SongRecord &song)
{
    ScopedTransaction transaction(db);
    db.ExecuteSql(QStringLiteral("INSERT INTO song (song_num, song_kind, song_name, song_text_count, song_singer_code, "
                                 "song_build_date, song_location) VALUES (?, ?, ?, ?, ?, ?, ?)"),
                  {song.song_num, song.song_kind, song.song_name, song.song_text_count, song.song_singer_code,
                   song.song_build_date, song.song_location});
    transaction.commit();
}

void deleteSong(Database &db, const QString &songNum)
{
    ScopedTransaction transaction(db);
    db.ExecuteSql(QStringLiteral("DELETE FROM song WHERE song_num = ?"), {songNum});
    transaction.commit();
}

QStringList songsUsingFile(Database &db, const QString &path, const QString &exceptNum)
{
    QStringList numbers;
    db.forEachRow(QStringLiteral("SELECT DISTINCT song_num FROM song WHERE song_location = ? AND song_num <> ?"),
                  {path, exceptNum}, [&](const RowView &row) {
                      numbers.append(row.text(0));
                      return true;
                  });
    return numbers;
}
