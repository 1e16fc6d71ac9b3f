#pragma once

#include <QString>

#include <optional>

struct SharedState;

// The catalogue rules registration shares with the song and singer windows of manager mode.
// All of them throw DatabaseError when the catalogue cannot be read.

// The next free song number for a kind and character count (Get_NewSongNum).
QString newSongNumber(SharedState &state, int kind, int count);
// The code of the singer of that name, if the catalogue has one.
std::optional<qint64> singerCodeOf(SharedState &state, const QString &name);
// A registered song whose title begins with a new title of the same count.
struct SimilarSong
{
    QString number;
    QString title;
    qint64 singerCode = 0;
};
// The first similar song, if the catalogue has one.
std::optional<SimilarSong> firstSimilarSong(SharedState &state, const QString &title, int count);
inline bool hasSimilarTitle(SharedState &state, const QString &title, int count)
{
    return firstSimilarSong(state, title, count).has_value();
}
// True when some song's file is this path.
bool isRegisteredFile(SharedState &state, const QString &path);
// Stores one song record (one singer of a song).
void insertSongRecord(SharedState &state, const QString &number, int kind, const QString &title, int count,
                      qint64 singerCode, const QString &date, const QString &path);

// Adds a singer and returns its code.
qint64 addSinger(SharedState &state, const QString &name, int sex);

// A LIKE pattern (with ESCAPE '\\') for the titles that begin with text: a typed "%" or "_"
// means itself.
QString likePrefixPattern(const QString &text);
