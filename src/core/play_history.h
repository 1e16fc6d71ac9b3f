#pragma once

#include <QString>

#include <map>
#include <optional>
#include <vector>

class Database;

// How a play ended, as the history keeps it (NULL while it plays, or when a crash cut it off).
enum class PlayEnd { Playing = 0, ToTheEnd = 1, Skipped = 2, PlayerClosed = 3 };

// One song started from the queue, as the history keeps it (table play_history).
struct PlayRecord
{
    QString songNum;
    QString title;
    QString singer;
    qint64 startedAt = 0; // seconds since 1970, UTC
    int playedSeconds = 0;
    int lengthSeconds = 0; // 0 when not known
    PlayEnd end = PlayEnd::Playing;
    QString orderedBy; // the name a phone gave; empty for the keypad
    QString phone;     // the ordering phone's id; empty for the keypad
    qint64 queueId = 0;
    int key = 0;
    int channel = 0;
    std::optional<int> score;

    // At least 30 seconds or half the song: what the charts count.
    bool sung() const;
};

// A row of the charts: a song and how often it was sung.
struct ChartRow
{
    QString songNum;
    QString title;
    QString singer;
    int timesSung = 0;
    bool inCatalogue = false; // false for a song deleted since: shown, never ordered
};

// The history as the catalogue file keeps it. Every call throws DatabaseError.
namespace PlayHistory {

constexpr int kChartLength = 100;
constexpr int kChartDays = 30;
constexpr int kSungSeconds = 30;

// Writes record as a new row (rowid 0) or over its row; the row's id.
qint64 write(Database &db, const PlayRecord &record, qint64 rowid);
// Forgets the plays started before the time given (seconds since 1970).
int forgetBefore(Database &db, qint64 startedBefore);

// The most sung songs since the time given (seconds since 1970), or of all the history kept
// when since is nullopt: most sung first, equal counts the one sung last first. orderableOnly
// leaves out songs deleted from the catalogue since.
std::vector<ChartRow> chart(Database &db, std::optional<qint64> since, int limit = kChartLength,
                            bool orderableOnly = false);
// How many songs were sung since the time given.
int sungSince(Database &db, qint64 since);
bool anySung(Database &db);
// The last plays, newest first.
std::vector<PlayRecord> lastPlays(Database &db, int limit);
// The key the song last ended with; 0 when it never played.
int lastKey(Database &db, const QString &songNum);
// Plays started since the time given, by who ordered them (the phone's id, "" for the keypad),
// not counting the queue ids listed (songs still in the queue).
std::map<QString, int> playsSince(Database &db, qint64 since, const std::vector<qint64> &stillQueued);

} // namespace PlayHistory
