#pragma once

#include <QString>

#include <functional>

class DrawingSurface;
struct KeypadInput;
struct SharedState;

// Queuing the song the guest typed: by its catalogue number, or by its position in SongList.

// Queues the song whose catalogue number InputBuffer holds, showing its title (or that the
// queue is full) and clearing the digits. False, with nothing changed, when no song has it.
bool queueTypedSong(SharedState &state, KeypadInput &input);

// Queues the song at position of SongList (counted through all pages). On success the page is
// drawn again by redrawPage and the confirmation printed below it on screen. A position with
// no song changes nothing: silently with the digits kept, or, when missingText is given, with
// that text in the echo line and the digits cleared.
void orderListedSong(SharedState &state, DrawingSurface &screen, KeypadInput &input, qint64 position,
                     const std::function<void()> &redrawPage, const QString &missingText = QString());
