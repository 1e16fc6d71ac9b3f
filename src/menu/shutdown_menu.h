#pragma once

struct MenuContext;

// The shutdown menu (state "10"): switch the computer off and end, end the jukebox only,
// or go back to the main menu.
class ShutdownMenu
{
public:
    explicit ShutdownMenu(MenuContext &menu);

    void shutdown_set();
    void shutdown_set_do(int &KeyAscii);

private:
    MenuContext &m_menu;
};
