#include "catalogue/song_loudness.h"

#include "catalogue/catalogue_store.h"
#include "catalogue/song_files.h"
#include "core/database.h"

#include <QSet>

#include <functional>

namespace {

constexpr int kMeasured = 1;
constexpr int kUndecodable = 2;

// A song's loudness as it counts: kept for the file the song plays now. The one place that
// says a song given another file has no loudness (yet).
const QString kLoudnessNow = QStringLiteral(
    "song_loudness AS l ON l.song_row = s.rowid AND l.song_location = s.song_location COLLATE BINARY ");

SqlValue valueOr(const std::optional<ChannelLoudness> &channel, double ChannelLoudness::*field)
{
    return channel ? SqlValue((*channel).*field) : SqlValue();
}

void setState(CatalogueStore &store, const SongToMeasure &song, int state, const SongLoudness &loudness)
{
    store.change([&](CatalogueRows &rows) {
        rows.storeLoudness(song, state, loudness);
        return true;
    });
}

} // namespace

std::array<SqlValue, 6> loudnessColumnValues(const SongLoudness &loudness)
{
    const auto &c = loudness.channels;
    return {valueOr(c[0], &ChannelLoudness::lufs), valueOr(c[0], &ChannelLoudness::truePeakDb),
            valueOr(c[1], &ChannelLoudness::lufs), valueOr(c[1], &ChannelLoudness::truePeakDb),
            valueOr(c[2], &ChannelLoudness::lufs), valueOr(c[2], &ChannelLoudness::truePeakDb)};
}

QList<SongOnRecord> songsOnRecord(Database &db, qint64 afterRow, int limit)
{
    QList<SongOnRecord> songs;
    db.forEachRow(QStringLiteral("SELECT s.rowid, s.song_num, s.song_location, l.song_row IS NOT NULL, l.file_size, "
                                 "l.file_modified_ns FROM song AS s LEFT JOIN ")
                      + kLoudnessNow + QStringLiteral("WHERE s.rowid > ? ORDER BY s.rowid LIMIT ?"),
                  {afterRow, limit}, [&songs](const RowView &row) {
                      SongOnRecord record{{row.integer(0), row.text(1), row.text(2), std::nullopt}, row.integer(3) != 0,
                                          std::nullopt};
                      if (!row.isNull(4) && !row.isNull(5))
                          record.keptStamp = FileStamp{row.integer(4), row.integer(5)};
                      songs.append(record);
                      return true;
                  });
    return songs;
}

std::optional<SongToMeasure> toMeasure(const SongOnRecord &record, const QString &appPath)
{
    SongToMeasure song = record.song;
    song.stamp = stampOfSongFile(songFilePath(appPath, song.location));
    if (record.keptForFile && (!song.stamp || song.stamp == record.keptStamp))
        return std::nullopt;
    return song;
}

namespace {

// Hands each song after afterRow that is to be measured to onSong, until it returns false.
void forEachSongToMeasure(Database &db, const QString &appPath, qint64 afterRow,
                          const std::function<bool(const SongToMeasure &)> &onSong)
{
    constexpr int kBatchRows = 200;
    for (;;) {
        const QList<SongOnRecord> records = songsOnRecord(db, afterRow, kBatchRows);
        for (const SongOnRecord &record : records) {
            if (const std::optional<SongToMeasure> song = toMeasure(record, appPath); song && !onSong(*song))
                return;
        }
        if (records.size() < kBatchRows)
            return;
        afterRow = records.last().song.row;
    }
}

} // namespace

QList<SongToMeasure> songsToMeasure(Database &db, const QString &appPath, qint64 afterRow, int limit)
{
    QList<SongToMeasure> songs;
    forEachSongToMeasure(db, appPath, afterRow, [&](const SongToMeasure &song) {
        songs.append(song);
        return songs.size() < limit;
    });
    return songs;
}

int countSongsToMeasure(Database &db, const QString &appPath, qint64 afterRow)
{
    QSet<QString> numbers;
    forEachSongToMeasure(db, appPath, afterRow, [&](const SongToMeasure &song) {
        numbers.insert(song.songNum);
        return true;
    });
    return int(numbers.size());
}

qint64 lastSongRow(Database &db)
{
    Recordset rs = db.OpenRecordset(QStringLiteral("SELECT coalesce(max(rowid), 0) FROM song"));
    return rs.value(0).toLongLong();
}

std::array<SqlValue, 2> stampColumnValues(const SongToMeasure &song)
{
    if (!song.stamp)
        return {};
    return {SqlValue(song.stamp->size), SqlValue(song.stamp->modifiedNs)};
}

void storeLoudness(CatalogueStore &store, const SongToMeasure &song, const SongLoudness &loudness)
{
    setState(store, song, kMeasured, loudness);
}

void markUndecodable(CatalogueStore &store, const SongToMeasure &song)
{
    setState(store, song, kUndecodable, {});
}

std::optional<SongLoudness> findLoudness(Database &db, const QString &songNum)
{
    Recordset rs = db.OpenRecordset(QStringLiteral("SELECT l.lufs_1, l.peak_1, l.lufs_2, l.peak_2, l.lufs_3, l.peak_3 "
                                                   "FROM song AS s JOIN ")
                                        + kLoudnessNow + QStringLiteral("WHERE s.song_num = ? AND l.loudness_state = ? LIMIT 1"),
                                    {songNum, kMeasured});
    if (rs.eof())
        return std::nullopt;
    SongLoudness loudness;
    for (int channel = 0; channel < 3; ++channel) {
        const QVariant lufs = rs.value(2 * channel);
        const QVariant peak = rs.value(2 * channel + 1);
        if (!lufs.isNull() && !peak.isNull())
            loudness.channels[size_t(channel)] = ChannelLoudness{lufs.toDouble(), peak.toDouble()};
    }
    return loudness;
}
