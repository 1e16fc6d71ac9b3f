#pragma once

#include <QString>

#include <functional>

class DrawingSurface;
class QLabel;
struct SharedState;

// What the menu's flows share: the screen they print on, the echo line, the menu state and
// the keys typed so far, and the ways back to the main menu and out of the program.
struct MenuContext
{
    MenuContext(SharedState &s, DrawingSurface &surface, QLabel &echo)
        : state(s)
        , Picture1(surface)
        , Label1(echo)
    {
    }

    SharedState &state;
    DrawingSurface &Picture1;
    QLabel &Label1;

    QString MenuState = QStringLiteral("0");
    QString InputBuffer;
    int SavedSingerPage = 1;

    std::function<void()> show_main_menu;
    // Captions of the on-screen "-", "+", Enter and "." keys.
    std::function<void(const QString &, const QString &, const QString &, const QString &)> setKeyCaptions;
    // Captions of the on-screen "*", "/" and "0" keys.
    std::function<void(const QString &, const QString &, const QString &)> setPlayKeyCaptions;
    std::function<void()> Set_num_key; // every on-screen key back to its own caption
    std::function<void()> powerOff;   // switches the computer off
    std::function<void()> endProgram; // closes every window and ends the program
};
