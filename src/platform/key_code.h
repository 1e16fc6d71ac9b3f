#pragma once

class QKeyEvent;

// The code a key press carries, as the key handlers read it: Enter is 13, other keys their
// character. 0 for keys without a character (Shift alone, arrows).
int keyCodeOf(const QKeyEvent &event);
