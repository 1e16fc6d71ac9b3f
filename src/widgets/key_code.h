#pragma once

#include <optional>

class QEvent;

// The code a key press carries, as the key handlers read it: Enter is 13, other keys their
// character. Nothing for events that are not key presses, and for keys without a character
// (Shift alone, arrows), which are not key presses to the jukebox.
std::optional<int> keyCodeOf(const QEvent &event);
