#pragma once

#include <QJsonObject>

class Database;

// The phone page's "熱門" tab: the charts of the last 30 days (period 1) and of the whole
// history (period 2), songs deleted since left out so each can be ordered; and the last songs
// sung (period 3), titles as kept with the plays, with their scores. now is in seconds since
// 1970. Throws DatabaseError.
namespace HistoryPages {

constexpr int kLastPlays = 30;

QJsonObject songs(Database &db, int period, qint64 now);
// Whether the tab is shown: something was sung.
bool shown(Database &db);

} // namespace HistoryPages
