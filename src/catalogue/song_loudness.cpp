#include "catalogue/song_loudness.h"

#include "catalogue/catalogue_master.h"
#include "core/database.h"

namespace {

constexpr int kMeasured = 1;
constexpr int kUndecodable = 2;

SqlValue valueOr(const std::optional<ChannelLoudness> &channel, double ChannelLoudness::*field)
{
    return channel ? SqlValue((*channel).*field) : SqlValue();
}

void setState(Database &db, const SongToMeasure &song, int state, const SongLoudness &loudness)
{
    if (CatalogueMaster *master = db.master())
        return master->storeLoudness(song, state, loudness);
    const std::array<SqlValue, 6> v = loudnessColumnValues(loudness);
    db.ExecuteSql(QStringLiteral("UPDATE song SET song_loudness_state = ?, song_lufs_1 = ?, song_peak_1 = ?, "
                                 "song_lufs_2 = ?, song_peak_2 = ?, song_lufs_3 = ?, song_peak_3 = ? "
                                 "WHERE song_num = ? AND song_location = ? COLLATE BINARY"),
                  {state, v[0], v[1], v[2], v[3], v[4], v[5], song.songNum, song.location});
}

} // namespace

std::array<SqlValue, 6> loudnessColumnValues(const SongLoudness &loudness)
{
    const auto &c = loudness.channels;
    return {valueOr(c[0], &ChannelLoudness::lufs), valueOr(c[0], &ChannelLoudness::truePeakDb),
            valueOr(c[1], &ChannelLoudness::lufs), valueOr(c[1], &ChannelLoudness::truePeakDb),
            valueOr(c[2], &ChannelLoudness::lufs), valueOr(c[2], &ChannelLoudness::truePeakDb)};
}

QList<SongToMeasure> songsToMeasure(Database &db, qint64 afterRow, int limit)
{
    QList<SongToMeasure> songs;
    db.forEachRow(QStringLiteral("SELECT rowid, song_num, song_location FROM song "
                                 "WHERE rowid > ? AND song_loudness_state IS NULL ORDER BY rowid LIMIT ?"),
                  {afterRow, limit}, [&songs](const RowView &row) {
                      songs.append({row.integer(0), row.text(1), row.text(2)});
                      return true;
                  });
    return songs;
}

int countSongsToMeasure(Database &db, qint64 afterRow)
{
    Recordset rs = db.OpenRecordset(QStringLiteral("SELECT count(DISTINCT song_num) FROM song "
                                                   "WHERE rowid > ? AND song_loudness_state IS NULL"),
                                    {afterRow});
    return rs.value(0).toInt();
}

qint64 lastSongRow(Database &db)
{
    Recordset rs = db.OpenRecordset(QStringLiteral("SELECT coalesce(max(rowid), 0) FROM song"));
    return rs.value(0).toLongLong();
}

void storeLoudness(Database &db, const SongToMeasure &song, const SongLoudness &loudness)
{
    setState(db, song, kMeasured, loudness);
}

void markUndecodable(Database &db, const SongToMeasure &song)
{
    setState(db, song, kUndecodable, {});
}

std::optional<SongLoudness> findLoudness(Database &db, const QString &songNum)
{
    Recordset rs = db.OpenRecordset(QStringLiteral("SELECT song_lufs_1, song_peak_1, song_lufs_2, song_peak_2, "
                                                   "song_lufs_3, song_peak_3 FROM song "
                                                   "WHERE song_num = ? AND song_loudness_state = ? LIMIT 1"),
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
