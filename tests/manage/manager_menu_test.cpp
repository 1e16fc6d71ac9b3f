// The manager menu: opened from the jukebox's manager button (behind the PIN when one is
// set), its buttons, its way back and its way out.
#include "manage/manager_menu.h"
#include "manage_fixture.h"
#include "menu/main_menu.h"
#include "platform/modal_runner.h"
#include "playback/wav_file_open.h"
#include "widgets/drawing_surface.h"

#include <QLabel>
#include <QTimer>

namespace {

class ManagerMenuWindow : public ManageFixture
{
protected:
    ManagerMenu &window() { return ManageFixture::window<ManagerMenu>(); }
};

TEST_F(ManagerMenuWindow, OpeningReadsTheSettingsAgainAndEachButtonOpensItsWindowAndReturns)
{
    home.write("Setting.ini", home.read("Setting.ini").replace("ExtMusic = mp3,wav,mid,cda", "ExtMusic = ogg"));
    ManagerMenu &w = window();
    EXPECT_EQ(state.settings.ExtMusic, QStringLiteral("ogg"));
    EXPECT_EQ(w.print_start_date->text(), "2026/12/05") << "new songs are printed from today on";
    for (const char *button : {"Song_Add", "Song_modify_by_singer", "Command3", "Command4"})
        click(w, button);
    EXPECT_EQ(modals.opened, (QStringList{"Song_Add", "song_modify", "singer_modify", "manager_song_statu"}));
    EXPECT_TRUE(w.isVisible());

    // The bulk and printing windows come through hooks; unset, their buttons do nothing.
    for (const char *button : {"batch_reg", "reg_by_file", "print_all", "print_new"})
        click(w, button);
    QStringList hooks;
    w.openBatchRegistration = [&] { hooks.append("batch"); };
    w.openRegistrationByFileName = [&] { hooks.append("file"); };
    w.printAll = [&] { hooks.append("all"); };
    w.printNew = [&] { hooks.append("new"); };
    for (const char *button : {"batch_reg", "reg_by_file", "print_all", "print_new"})
        click(w, button);
    EXPECT_EQ(hooks, (QStringList{"batch", "file", "all", "new"}));
    EXPECT_TRUE(shown().isEmpty());
}

TEST_F(ManagerMenuWindow, LeavingTheProgramSavesTheRecordingAndClosesTheCatalogue)
{
    WavFileOpen recorder(fakes.mci);
    state.Recorder = &recorder;
    state.Recording = true;
    int ends = 0;
    ManagerMenu &w = window();
    w.endProgram = [&] { ++ends; };
    click(w, "Command2");
    EXPECT_EQ(ends, 1);
    EXPECT_FALSE(w.isVisible());
    EXPECT_FALSE(state.Recording);
    EXPECT_TRUE(fakes.mci.commands.filter(QStringLiteral("save po")).size() == 1) << fakes.mci.commands.join("; ").toStdString();
    state.Recorder = nullptr;
}

// The jukebox's menu with the manager window behind its button, as the program wires it.
class ManagerFromMenu : public ManageFixture
{
protected:
    MainMenu &menu()
    {
        if (!m_menu) {
            m_menu = std::make_unique<MainMenu>(state, fakes.services, kScreen);
            m_menu->openManager = [this] {
                ManagerMenu manager(state, fakes.services, kScreen, m_menu.get());
                ModalRunner::exec(manager);
            };
            m_menu->Form_Activate();
        }
        return *m_menu;
    }
    void setPin(const QByteArray &line)
    {
        home.write("Setting.ini", home.read("Setting.ini") + line);
        ASSERT_TRUE(InitSystem(state, fakes.fileSystem, fakes.clock, home.path()).ok);
    }
    void type(const QString &keys) { sendKeys(keys, [this](int &code) { menu().Picture1_KeyPress(code); }); }
    QString echo() { return menu().Label1->text(); }

private:
    std::unique_ptr<MainMenu> m_menu;
};

TEST_F(ManagerFromMenu, TheMenuTimerStopsWhileTheManagerWindowIsOpen)
{
    setPin("ManagerPin = secret\r\n"); // a PIN that is not digits locks nothing
    bool timerRan = true;
    modals.on("manager_menu", [&](QDialog &dialog) {
        timerRan = menu().Timer1->isActive();
        click(dialog, "Command1");
    });
    menu().manager->click();
    EXPECT_EQ(modals.opened, QStringList{"manager_menu"});
    EXPECT_FALSE(timerRan);
    EXPECT_TRUE(menu().Timer1->isActive());
    EXPECT_EQ(menu().menu().MenuState, QStringLiteral("0"));
}

TEST_F(ManagerFromMenu, APinGuardsTheButtonAndThreeWrongOnesLockItForAMinute)
{
    const QByteArray before = home.read("Setting.ini");
    setPin("ManagerPin = 2468\r\n");
    EXPECT_EQ(state.settings.ManagerPin, QStringLiteral("2468"));
    EXPECT_FALSE(before.contains("ManagerPin")) << "the program never writes the line";
    EXPECT_EQ(home.read("Setting.ini"), before + "ManagerPin = 2468\r\n") << "the file is left as the owner wrote it";

    menu().manager->click();
    EXPECT_TRUE(modals.opened.isEmpty());
    EXPECT_EQ(menu().Picture1->screenLines().value(0), QStringLiteral("請輸入管理密碼"));
    type("24");
    EXPECT_EQ(echo(), QStringLiteral("**"));
    type("68\r");
    EXPECT_EQ(modals.opened, QStringList{"manager_menu"});

    menu().manager->click();
    type("0\r");
    EXPECT_EQ(menu().menu().MenuState, QStringLiteral("0"));
    for (int i = 0; i < 3; ++i) {
        menu().manager->click();
        type("1111\r");
        EXPECT_EQ(echo(), QStringLiteral("密碼錯誤!"));
        EXPECT_EQ(menu().menu().MenuState, QStringLiteral("0"));
    }
    menu().manager->click();
    EXPECT_EQ(menu().menu().MenuState, QStringLiteral("0")) << "locked for a minute";
    fakes.clock.setNow(fakes.clock.now().addSecs(61));
    menu().manager->click();
    type("2468\r");
    EXPECT_EQ(modals.opened.size(), 2);
}

} // namespace
