#pragma once

#include "menu/main_menu.h"
#include "support/jukebox_fixture.h"
#include "widgets/drawing_surface.h"

#include <QLabel>

#include <memory>

// A main menu on a fresh program folder, driven key by key through its entry point.
class MenuFixture : public JukeboxFixture
{
protected:
    MainMenu &menu()
    {
        if (!m_menu) {
            m_menu = std::make_unique<MainMenu>(state, fakes.services, QSize(1280, 720));
            m_menu->menu().endProgram = [this] { ++programEnds; };
            m_menu->Form_Activate();
        }
        return *m_menu;
    }

    void type(const QString &keys) { sendKeys(keys, [this](int &code) { press(code); }); }
    void press(int code) { menu().Picture1_KeyPress(code); }

    QStringList screen() { return menu().Picture1->screenLines(); }
    QString echo() { return menu().Label1->text().trimmed(); }
    QString menuState() { return menu().menu().MenuState; }

    int programEnds = 0;

private:
    std::unique_ptr<MainMenu> m_menu;
};
