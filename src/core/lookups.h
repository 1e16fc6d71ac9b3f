#pragma once

#include <QString>

struct Orderer;
struct SharedState;

// Read-only look-ups of songs and singers, and the queue append. All of them throw
// DatabaseError when the catalogue cannot be read.

// Results of AddToOrderList besides a row number.
constexpr int kSongNotFound = -1;
constexpr int kQueueFull = -2;
// What the guest is told when the queue holds as many songs as it can.
inline const QString kQueueFullText = QStringLiteral("點歌已滿!");
// What a look-up gives for a singer or song that is not in the catalogue.
inline const QString kNotFoundText = QStringLiteral("找不到");

int SongKindCode(const SharedState &state, const QString &name);
QString GetSingerName(const SharedState &state, qint64 singerCode);
QString GetSongName(const SharedState &state, const QString &songNum);
QString GetSongLocation(const SharedState &state, const QString &songNum);

// Lists by title or name are in stroke order (core/stroke_order.h).
bool LoadSingersBySex(SharedState &state, int sex);
bool LoadSongsBySinger(SharedState &state, qint64 singerCode);
// A count of 10 or more stands for every title of ten characters or more.
bool LoadSongsByKindAndCount(SharedState &state, int kind, int count);

// Appends the song with that number to the play queue: the row used, kSongNotFound or kQueueFull.
// A song ordered from a phone carries who ordered it; the keypad's orders carry nobody.
int AddToOrderList(SharedState &state, const QString &songNum);
int AddToOrderList(SharedState &state, const QString &songNum, const Orderer &by);

// File-type tests of the multimedia menu; the lists come from the settings.
bool IsMenuMediaFile(const SharedState &state, const QString &menuState, const QString &fileName);
bool IsMovieFile(const SharedState &state, const QString &fileName);
