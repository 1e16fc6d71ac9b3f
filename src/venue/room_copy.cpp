#include "venue/room_copy.h"

#include "catalogue/catalogue_store.h"
#include "core/database_error.h"
#include "core/derived_rows.h"
#include "core/scoped_transaction.h"
#include "venue/server_connection.h"
#include "venue/server_schema.h"
#include "venue/song_columns.h"

#include <algorithm>

namespace {

using Type = SqlValue::Type;

const QString kNotThisVenue = QStringLiteral("曲目伺服器不是這個場地的目錄");
const QString kEmpty = QStringLiteral("曲目伺服器的目錄是空的");

RoomCopy::CopyMark markOf(Database &db)
{
    Recordset rs = db.OpenRecordset(QStringLiteral("SELECT catalogue_id, last_change FROM venue_copy"));
    if (rs.eof())
        return {};
    return {rs.text(QStringLiteral("catalogue_id")), rs.value(1).toLongLong()};
}

void setMark(Database &db, const RoomCopy::CopyMark &mark)
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

RoomCopy::ServerChanges changesSince(ServerConnection &server, qint64 since)
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
    // The server is read holding nothing of the copy's file (a hung server holds no room), then
    // the batch is written at once, unless another program moved the mark meanwhile.
    for (int attempt = 1;; ++attempt) {
        const CopyMark mark = markOf(m_db);
        const Batch batch = readBatch(server, mark, replace);
        ScopedTransaction copy(m_db);
        if (markOf(m_db) != mark) {
            if (attempt < kAttempts)
                continue;
            throw CatalogueBusy(QStringLiteral("another program keeps changing the room's copy"));
        }
        const Applied applied = write(batch, mark);
        copy.commit();
        return applied;
    }
}

RoomCopy::Batch RoomCopy::readBatch(ServerConnection &server, const CopyMark &mark, bool replace)
{
    // One snapshot of the server: every change up to some number, none after it.
    ServerTransaction read(server, QStringLiteral("BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY"));
    Batch batch{ServerSchema::catalogueId(server), false, 0, {}};
    batch.whole = replace || mark.catalogueId.isEmpty();
    if (!replace)
        refuseOtherHistory(server, mark, batch.catalogueId);
    batch.since = batch.whole ? 0 : mark.lastChange;
    batch.changes.emplace(changesSince(server, batch.since));
    read.commit();
    return batch;
}

void RoomCopy::refuseOtherHistory(ServerConnection &server, const CopyMark &mark, const QString &catalogueId)
{
    if (mark.catalogueId.isEmpty()) {
        // A new room takes the venue's catalogue; a room with a catalogue of its own does not.
        if (holdsAnything(m_db))
            throw CatalogueRefused(kNotThisVenue
                                   + QStringLiteral("\nthe room's own catalogue was never copied from the server "
                                                    "(--pull-catalogue takes the server's, --push-catalogue puts this one there)"));
        return;
    }
    const bool empty = server.exec(QStringLiteral("SELECT NOT EXISTS (SELECT 1 FROM song) AND NOT EXISTS "
                                                  "(SELECT 1 FROM singer)"))
                           .text(0, 0)
        == QLatin1String("t");
    const QString why = empty ? kEmpty : kNotThisVenue;
    if (catalogueId != mark.catalogueId)
        throw CatalogueRefused(why + QStringLiteral("\nthe server holds catalogue %1, the room follows %2 "
                                                    "(--pull-catalogue or --push-catalogue)")
                                         .arg(catalogueId, mark.catalogueId));
    // A server put back to an older state whose counter has not yet passed the copy's mark.
    const qint64 counter = server.exec(QStringLiteral("SELECT last_value FROM catalogue_change")).integer(0, 0);
    if (counter < mark.lastChange)
        throw CatalogueRefused(why + QStringLiteral("\nthe server's changes end at %1, the room has applied up to %2 "
                                                    "(put back from a backup? --pull-catalogue)")
                                         .arg(counter)
                                         .arg(mark.lastChange));
}

RoomCopy::Applied RoomCopy::write(const Batch &batch, const CopyMark &mark)
{
    const ServerChanges &changes = *batch.changes;
    if (batch.whole) {
        m_db.ExecuteSql(QStringLiteral("DELETE FROM song"));
        m_db.ExecuteSql(QStringLiteral("DELETE FROM singer"));
    }
    writeSingers(m_db, changes.singers);
    writeSongs(m_db, changes.songs, m_mediaRoot);
    removeRows(m_db, changes.removed);
    const qint64 last = std::max({lastChangeOf(changes.singers, 3, batch.since),
                                  lastChangeOf(changes.songs, SongColumns::kCount, batch.since),
                                  lastChangeOf(changes.removed, 2, batch.since)});
    if (batch.whole || last != mark.lastChange || batch.catalogueId != mark.catalogueId)
        setMark(m_db, {batch.catalogueId, last});
    // The songs and singers are in the lists with the batch, in stroke order.
    DerivedRows::makeMissingKeys(m_db, DerivedRows::Pace::AtStart);
    Applied applied;
    applied.whole = batch.whole;
    applied.singers = changes.singers.size();
    applied.songs = changes.songs.size();
    applied.removed = changes.removed.size();
    return applied;
}
