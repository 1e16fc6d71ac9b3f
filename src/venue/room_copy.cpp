#include "venue/room_copy.h"

#include "core/database_error.h"
#include "core/derived_rows.h"
#include "core/scoped_transaction.h"
#include "venue/server_connection.h"
#include "venue/server_schema.h"
#include "venue/song_columns.h"

#include <algorithm>

namespace {

using Type = SqlValue::Type;

// The server's catalogue this copy follows, and the last of its changes applied here.
struct CopyMark
{
    QString catalogueId;
    qint64 lastChange = 0;
};

// What changed on the server after a change number, read in one snapshot; each query has the
// change number in its last column.
struct ServerChanges
{
    ServerRows singers;
    ServerRows songs;
    ServerRows removed;
};

CopyMark markOf(Database &db)
{
    Recordset rs = db.OpenRecordset(QStringLiteral("SELECT catalogue_id, last_change FROM venue_copy"));
    if (rs.eof())
        return {};
    return {rs.text(QStringLiteral("catalogue_id")), rs.value(1).toLongLong()};
}

void setMark(Database &db, const CopyMark &mark)
{
    db.ExecuteSql(QStringLiteral("DELETE FROM venue_copy"));
    db.ExecuteSql(QStringLiteral("INSERT INTO venue_copy (catalogue_id, last_change) VALUES (?, ?)"),
                  {mark.catalogueId, mark.lastChange});
}

bool holdsAnything(Database &db)
{
    Recordset rs =
        db.OpenRecordset(QStringLiteral("SELECT EXISTS (SELECT 1 FROM song) OR EXISTS (SELECT 1 FROM singer)"));
    return rs.value(0).toInt() != 0;
}

ServerChanges changesSince(ServerConnection &server, qint64 since)
{
    return {server.exec(QStringLiteral("SELECT singer_code, singer_name, singer_sex, change FROM singer "
                                       "WHERE change > $1"),
                        {since}),
            server.exec(QStringLiteral("SELECT song_id, %1, change FROM song WHERE change > $1 ORDER BY song_id")
                            .arg(SongColumns::kServer),
                        {since}),
            server.exec(QStringLiteral("SELECT row_table, row_id, change FROM removed_row WHERE change > $1"), {since})};
}

qint64 lastChangeOf(const ServerRows &rows, int column, qint64 since)
{
    qint64 last = since;
    for (int r = 0; r < rows.size(); ++r)
        last = qMax(last, rows.integer(r, column));
    return last;
}

void writeSingers(Database &db, const ServerRows &singers)
{
    for (int r = 0; r < singers.size(); ++r) {
        db.ExecuteSql(QStringLiteral("INSERT OR REPLACE INTO singer (singer_code, singer_name, singer_sex) "
                                     "VALUES (?, ?, ?)"),
                      {singers.integer(r, 0), singers.text(r, 1), singers.integer(r, 2)});
    }
}

// Each song's row, and its loudness row when the server has its loudness. A song whose own
// values are as the copy has them (only its loudness changed) is not written again, so the
// phone page's change count and the song's stroke-order keys stay as they are.
void writeSongs(Database &db, const ServerRows &songs, const MediaRoot &mediaRoot)
{
    static const QString updateSong = QStringLiteral(
        "UPDATE song SET song_num = ?2, song_kind = ?3, song_name = ?4, song_text_count = ?5, song_singer_code = ?6, "
        "song_build_date = ?7, song_location = ?8 WHERE rowid = ?1 AND (song_num, song_kind, song_name, "
        "song_text_count, song_singer_code, song_build_date, song_location) IS NOT (?2, ?3, ?4, ?5, ?6, ?7, ?8)");
    static const QString insertSong = QStringLiteral(
        "INSERT OR IGNORE INTO song (rowid, song_num, song_kind, song_name, song_text_count, song_singer_code, "
        "song_build_date, song_location) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8)");
    static const QString insertLoudness = QStringLiteral(
        "INSERT OR REPLACE INTO song_loudness (song_row, loudness_state, lufs_1, peak_1, lufs_2, peak_2, lufs_3, peak_3, "
        "song_location, file_size, file_modified_ns) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    for (int r = 0; r < songs.size(); ++r) {
        const QList<SqlValue> values = SongColumns::valuesOf(
            [&](int column, Type type) { return songs.value(r, column, type); },
            [&](int column) { return songs.isNull(r, column) ? SqlValue() : SqlValue(mediaRoot.toRoom(songs.text(r, column))); });
        const QList<SqlValue> song = values.mid(0, SongColumns::kSongValues);
        db.ExecuteSql(updateSong, song);
        db.ExecuteSql(insertSong, song);
        if (songs.isNull(r, SongColumns::kLoudnessState) || songs.isNull(r, SongColumns::kLoudnessFile))
            db.ExecuteSql(QStringLiteral("DELETE FROM song_loudness WHERE song_row = ?"), {values.first()});
        else
            db.ExecuteSql(insertLoudness, QList<SqlValue>{values.first()} + values.mid(SongColumns::kSongValues));
    }
}

void removeRows(Database &db, const ServerRows &removed)
{
    for (int r = 0; r < removed.size(); ++r) {
        const bool song = removed.text(r, 0) == QLatin1String("song");
        db.ExecuteSql(song ? QStringLiteral("DELETE FROM song WHERE rowid = ?")
                           : QStringLiteral("DELETE FROM singer WHERE singer_code = ?"),
                      {removed.integer(r, 1)});
    }
}

} // namespace

RoomCopy::RoomCopy(const QString &dbPath, MediaRoot mediaRoot)
    : m_db(dbPath)
    , m_mediaRoot(std::move(mediaRoot))
{
    m_db.setBusyWait(kBusyWaitMs);
}

RoomCopy::Applied RoomCopy::catchUp(ServerConnection &server)
{
    return apply(server, false);
}

RoomCopy::Applied RoomCopy::replaceWithServer(ServerConnection &server)
{
    return apply(server, true);
}

RoomCopy::Applied RoomCopy::apply(ServerConnection &server, bool replace)
{
    std::lock_guard lock(m_mutex);
    ScopedTransaction copy(m_db);
    const CopyMark mark = markOf(m_db);
    // One snapshot of the server: every change up to some number, none after it.
    ServerTransaction read(server, QStringLiteral("BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY"));
    const QString catalogueId = ServerSchema::catalogueId(server);
    Applied applied;
    // A server put back to an older state (a backup) has not seen the copy's last change.
    const bool older = server.exec(QStringLiteral("SELECT last_value FROM catalogue_change")).integer(0, 0)
        < mark.lastChange;
    applied.whole = replace || older || catalogueId != mark.catalogueId;
    if (applied.whole && !replace && mark.catalogueId.isEmpty() && holdsAnything(m_db))
        throw DatabaseError(QStringLiteral("本機的曲目不是曲目伺服器的複本, 沒有更新 (請用 --pull-catalogue "
                                           "換成伺服器的曲目, 或用 --push-catalogue 放上伺服器)"));
    const qint64 since = applied.whole ? 0 : mark.lastChange;
    const ServerChanges changes = changesSince(server, since);
    read.commit();
    if (applied.whole) {
        m_db.ExecuteSql(QStringLiteral("DELETE FROM song"));
        m_db.ExecuteSql(QStringLiteral("DELETE FROM singer"));
    }
    writeSingers(m_db, changes.singers);
    writeSongs(m_db, changes.songs, m_mediaRoot);
    removeRows(m_db, changes.removed);
    const qint64 last = std::max({lastChangeOf(changes.singers, 3, since), lastChangeOf(changes.songs, SongColumns::kCount, since),
                              lastChangeOf(changes.removed, 2, since)});
    if (applied.whole || last != mark.lastChange)
        setMark(m_db, {catalogueId, last});
    // The songs and singers are in the lists with the batch, in stroke order.
    DerivedRows::makeMissingKeys(m_db, DerivedRows::Pace::AtStart);
    copy.commit();
    applied.singers = changes.singers.size();
    applied.songs = changes.songs.size();
    applied.removed = changes.removed.size();
    return applied;
}
