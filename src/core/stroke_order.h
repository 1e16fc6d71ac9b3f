#pragma once

#include <QString>

// The lists by title or name read songs and singers through their stroke-order rows
// (derived_rows.h), whose indexes give them in order without a sort: the order row is "o", the
// song "s", the singer "g". A list chooses by the order row's copies of kind, title length,
// singer and sex, and orders by its key:
//
//     "SELECT s.song_num FROM " + StrokeOrder::kSongs + "WHERE o.song_kind = ? ORDER BY " + StrokeOrder::kTitle
namespace StrokeOrder {

inline const QString kSongs = QStringLiteral("song_order AS o CROSS JOIN song AS s ON s.rowid = o.song_row ");
inline const QString kSingers =
    QStringLiteral("singer_order AS o CROSS JOIN singer AS g ON g.singer_code = o.singer_code ");
// Each song with its singer's name, "找不到" for a singer that is not in the catalogue.
inline const QString kSongsWithSinger =
    kSongs + QStringLiteral("LEFT JOIN singer AS g ON g.singer_code = s.song_singer_code ");
inline const QString kTitle = QStringLiteral("o.title_key");
inline const QString kName = QStringLiteral("o.name_key");

} // namespace StrokeOrder
