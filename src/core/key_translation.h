#pragma once

struct Settings;

// Canonical key codes every key handler works with.
namespace KeyCode {
constexpr int Enter = 13;
constexpr int Multiply = 42; // "*": next sound channel
constexpr int Plus = 43;     // "+": next page
constexpr int Minus = 45;    // "-": previous page
constexpr int Dot = 46;      // ".": backspace / second-level key
constexpr int Divide = 47;   // "/": skip to the next song
constexpr int Digit0 = 48;
constexpr int Digit9 = 57;
}

// Turns a key code sent by the keyboard, keypad or remote into the canonical code the
// settings map it to, or 0 when no setting names it. A digit match overrides an operator
// match, and of two digits the higher one wins, so a remote can remap any key to a digit.
int translateKey(int code, const Settings &settings);

bool isDigitKey(int code);
// A key of the keypad: "*", "+", "-", ".", "/" or a digit (the canonical codes from "*" to "9").
bool isKeypadKey(int code);
