#pragma once

#include "core/database.h"

#include <QString>

// A song as the server and every room's copy hand it to each other: its id (rowid in a room's
// copy, song_id on the server), then these columns in this order. The location, the eighth
// value, is the one each side maps onto its own mount of the media folder.
namespace SongColumns {

inline const QString kAfterId = QStringLiteral(
    "song_num, song_kind, song_name, song_text_count, song_singer_code, song_build_date, song_location, "
    "song_loudness_state, song_lufs_1, song_peak_1, song_lufs_2, song_peak_2, song_lufs_3, song_peak_3");
inline constexpr int kLocation = 7;

// Calls write with one song's values in column order: cell(column, type) reads each of them
// from where the song comes from; location is the eighth, already mapped.
template <typename Cell, typename Write>
void withValues(Cell cell, const SqlValue &location, Write write)
{
    using Type = SqlValue::Type;
    write({cell(0, Type::Integer), cell(1, Type::Text), cell(2, Type::Integer), cell(3, Type::Text),
           cell(4, Type::Integer), cell(5, Type::Integer), cell(6, Type::Text), location, cell(8, Type::Integer),
           cell(9, Type::Real), cell(10, Type::Real), cell(11, Type::Real), cell(12, Type::Real), cell(13, Type::Real),
           cell(14, Type::Real)});
}

} // namespace SongColumns
