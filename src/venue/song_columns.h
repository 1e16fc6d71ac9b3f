#pragma once

#include "core/database.h"

#include <QList>
#include <QString>

// A song as the server and every room's copy hand it to each other: its id (song_id on the
// server, the rowid in a room's copy), then these columns in this order: the song's own, then
// its loudness with the file it was measured from and that file's stamp (in a room's copy its
// song_loudness row).
// The location and that file are the values each side maps onto its own mount of the media
// folder.
namespace SongColumns {

inline const QString kServer = QStringLiteral(
    "song_num, song_kind, song_name, song_text_count, song_singer_code, song_build_date, song_location, "
    "song_loudness_state, song_lufs_1, song_peak_1, song_lufs_2, song_peak_2, song_lufs_3, song_peak_3, "
    "song_loudness_file, song_loudness_size, song_loudness_modified_ns");
// The same, read from a room's copy (its song "s", its loudness "l").
inline const QString kRoom = QStringLiteral(
    "s.song_num, s.song_kind, s.song_name, s.song_text_count, s.song_singer_code, s.song_build_date, "
    "s.song_location, l.loudness_state, l.lufs_1, l.peak_1, l.lufs_2, l.peak_2, l.lufs_3, l.peak_3, l.song_location, "
    "l.file_size, l.file_modified_ns "
    "FROM song AS s LEFT JOIN song_loudness AS l ON l.song_row = s.rowid");
// Counted with the id as 0.
inline constexpr int kSongValues = 8; // the id and the song's seven
inline constexpr int kLocation = 7;
inline constexpr int kLoudnessState = 8;
inline constexpr int kLoudnessFile = 15;
inline constexpr int kCount = 18; // the id and the seventeen values; a query's next column follows

// The id and the seventeen values of a song in column order: cell(column, type) reads each of
// them from where the song comes from; mapped(column) the location and the loudness's file,
// mapped onto the other side's mount.
template <typename Cell, typename Mapped>
QList<SqlValue> valuesOf(Cell cell, Mapped mapped)
{
    using Type = SqlValue::Type;
    return {cell(0, Type::Integer), cell(1, Type::Text),    cell(2, Type::Integer), cell(3, Type::Text),
            cell(4, Type::Integer), cell(5, Type::Integer), cell(6, Type::Text),    mapped(kLocation),
            cell(8, Type::Integer), cell(9, Type::Real),    cell(10, Type::Real),   cell(11, Type::Real),
            cell(12, Type::Real),   cell(13, Type::Real),   cell(14, Type::Real),   mapped(kLoudnessFile),
            cell(16, Type::Integer), cell(17, Type::Integer)};
}

} // namespace SongColumns
