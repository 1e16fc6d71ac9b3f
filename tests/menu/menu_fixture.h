#pragma once

#include "core/init_system.h"
#include "core/shared_state.h"
#include "menu/main_menu.h"
#include "support/catalogue_builder.h"
#include "support/fake_services.h"
#include "support/qt_printers.h"
#include "support/temp_home.h"
#include "widgets/drawing_surface.h"

#include <QLabel>

#include <gtest/gtest.h>

#include <memory>

// A main menu on a fresh program folder, driven key by key through its entry point.
class MenuFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const InitResult init = InitSystem(state, fakes.fileSystem, fakes.clock, home.path());
        ASSERT_TRUE(init.ok) << init.problem.toStdString();
    }

    MainMenu &menu()
    {
        if (!m_menu) {
            m_menu = std::make_unique<MainMenu>(state, fakes.services, QSize(1280, 720));
            m_menu->menu().endProgram = [this] { ++programEnds; };
            m_menu->Form_Activate();
        }
        return *m_menu;
    }

    // Sends each character as a key code; "\r" stands for Enter.
    void type(const QString &keys)
    {
        for (QChar c : keys) {
            int code = c == QLatin1Char('\r') ? 13 : int(c.unicode());
            menu().Picture1_KeyPress(code);
        }
    }
    void press(int code) { menu().Picture1_KeyPress(code); }

    QStringList screen() { return menu().Picture1->screenLines(); }
    QString echo() { return menu().Label1->text().trimmed(); }
    QString menuState() { return menu().menu().MenuState; }
    QStringList queue() const
    {
        QStringList rows;
        for (int i = 0; i < state.OrderedSongs.length(); ++i)
            rows.append(state.OrderedSongs.row(i).text);
        return rows;
    }

    TempHome home;
    FakeServices fakes;
    SharedState state;
    CatalogueBuilder catalogue{home.file("karaoke.mdb")};
    int programEnds = 0;

private:
    std::unique_ptr<MainMenu> m_menu;
};
