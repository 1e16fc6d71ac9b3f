#pragma once

#include "widgets/keypad_input.h"

#include <QString>

#include <functional>

class DrawingSurface;
struct SharedState;

// What the menu's flows share: the screen they print on, the keys typed with their echo line,
// the menu state, and the ways back to the main menu and out of the program.
struct MenuContext : KeypadInput
{
    MenuContext(SharedState &s, DrawingSurface &surface, QLabel &echo)
        : KeypadInput(echo)
        , state(s)
        , Picture1(surface)
    {
    }

    SharedState &state;
    DrawingSurface &Picture1;

    QString MenuState = QStringLiteral("0");

    std::function<void()> show_main_menu;
    // Captions of the on-screen "-", "+", Enter and "." keys.
    std::function<void(const QString &, const QString &, const QString &, const QString &)> setKeyCaptions;
    // Captions of the on-screen "*", "/" and "0" keys.
    std::function<void(const QString &, const QString &, const QString &)> setPlayKeyCaptions;
    std::function<void()> Set_num_key; // every on-screen key back to its own caption
    std::function<void()> powerOff;   // switches the computer off
    std::function<void()> endProgram; // closes every window and ends the program
};
