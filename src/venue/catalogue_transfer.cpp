#include "venue/catalogue_transfer.h"

#include "core/database.h"
#include "venue/server_connection.h"
#include "venue/server_schema.h"
#include "venue/song_columns.h"
#include "venue/venue_room.h"

namespace {

using Type = SqlValue::Type;

SqlValue cellOf(const RowView &row, int column, Type type)
{
    if (row.isNull(column))
        return {};
    switch (type) {
    case Type::Integer:
        return row.integer(column);
    case Type::Real:
        return row.text(column).toDouble();
    case Type::Text:
        return row.text(column);
    case Type::Blob:
    case Type::Null:
        break;
    }
    return {};
}

int pushSingers(ServerConnection &server, Database &db)
{
    int n = 0;
    db.forEachRow(QStringLiteral("SELECT singer_code, singer_name, singer_sex FROM singer"), {}, [&](const RowView &row) {
        server.exec(QStringLiteral("INSERT INTO singer (singer_code, singer_name, singer_sex) VALUES ($1, $2, $3)"),
                    {row.integer(0), row.text(1), row.integer(2)});
        ++n;
        return true;
    });
    return n;
}

int pushSongs(ServerConnection &server, Database &db, const MediaRoot &mediaRoot)
{
    const QString insert = QStringLiteral("INSERT INTO song (song_id, %1) VALUES "
                                          "($1, $2, $3, $4, $5, $6, $7, $8, $9, $10, $11, $12, $13, $14, $15, $16, $17, $18)")
                               .arg(SongColumns::kServer);
    int n = 0;
    db.forEachRow(QStringLiteral("SELECT s.rowid, %1 ORDER BY s.rowid").arg(SongColumns::kRoom), {},
                  [&](const RowView &row) {
                      server.exec(insert, SongColumns::valuesOf(
                                              [&row](int column, Type type) { return cellOf(row, column, type); },
                                              [&](int column) {
                                                  return row.isNull(column) ? SqlValue()
                                                                            : SqlValue(mediaRoot.toServer(row.text(column)));
                                              }));
                      ++n;
                      return true;
                  });
    return n;
}

} // namespace

QString pushCatalogue(VenueRoom &room, Database &db, bool replace)
{
    ServerConnection server(room.connectionString());
    ServerSchema::create(server);
    ServerTransaction transaction(server);
    server.exec(QStringLiteral("SELECT next_change()")); // no room applies a change while the catalogue moves
    const qint64 held =
        server.exec(QStringLiteral("SELECT (SELECT count(*) FROM song) + (SELECT count(*) FROM singer)")).integer(0, 0);
    if (held > 0 && !replace)
        throw DatabaseError(QStringLiteral("曲目伺服器上已經有曲目, 沒有更動; 要以本機的曲目取代, 請加上 --replace"));
    server.run(QStringLiteral("TRUNCATE song, singer, removed_row; "
                              "UPDATE venue_catalogue SET catalogue_id = gen_random_uuid()::text"));
    const int singers = pushSingers(server, db);
    const int songs = pushSongs(server, db, room.mediaRoot());
    server.run(QStringLiteral("SELECT setval('singer_singer_code_seq', coalesce(max(singer_code), 0) + 1, false) "
                              "FROM singer; SELECT setval('song_song_id_seq', coalesce(max(song_id), 0) + 1, false) "
                              "FROM song"));
    transaction.commit();
    room.copy().replaceWithServer(server);
    return QStringLiteral("已將本機的 %1 筆曲目, %2 位歌手放上曲目伺服器").arg(songs).arg(singers);
}

QString pullCatalogue(VenueRoom &room)
{
    ServerConnection server(room.connectionString());
    ServerSchema::requireCatalogue(server);
    const RoomCopy::Applied applied = room.copy().replaceWithServer(server);
    return QStringLiteral("已從曲目伺服器取得 %1 筆曲目, %2 位歌手").arg(applied.songs).arg(applied.singers);
}
