#include "menu/shutdown_menu.h"

#include "menu/menu_context.h"
#include "widgets/drawing_surface.h"

ShutdownMenu::ShutdownMenu(MenuContext &menu)
    : m_menu(menu)
{
}

void ShutdownMenu::shutdown_set()
{
    m_menu.MenuState = QStringLiteral("10");
    clearInput(m_menu);
    m_menu.Picture1.ShowLines({"1. 確定關閉唱歌程式及關機", "2. 確定關閉唱歌程式及繼續", "   使用Windows作業系統", "",
                               "0. 回主選單"});
}

void ShutdownMenu::shutdown_set_do(int &KeyAscii)
{
    switch (KeyAscii) {
    case '1':
        // Whether the power-off could be started is not looked at: the program ends anyway.
        m_menu.powerOff();
        m_menu.endProgram();
        break;
    case '2':
        m_menu.endProgram();
        break;
    case '0':
        m_menu.show_main_menu();
        break;
    default:
        break;
    }
}
