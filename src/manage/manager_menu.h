#pragma once

#include "manage/manager_dialog.h"

#include <array>
#include <functional>

class QRadioButton;

// "Tolvek's Karaoke Manager Mode": the owner's entry to keeping the catalogue. It reads the
// settings again when it opens, opens the song, singer and statistics windows, and offers
// bulk registration and printing through the hooks the program sets; it closes back to the
// jukebox or ends the program.
class ManagerMenu : public ManagerDialog
{
    Q_OBJECT

public:
    ManagerMenu(SharedState &state, Services &services, QSize screen, QWidget *parent = nullptr);

    void Song_Add_Click();
    void Song_modify_by_singer_Click();
    void Command3_Click();
    void Command4_Click();
    void Command1_Click();
    void Command2_Click();

    // Windows of other parts of the program, each run modally from here; a hook left unset
    // makes its button do nothing.
    std::function<void()> openBatchRegistration;      // batch_reg
    std::function<void()> openRegistrationByFileName; // reg_by_file
    std::function<void()> printAll;                   // print_all
    std::function<void()> printNew;                   // print_new, with print_start_date, keyword, optPrinter
    // Ends the program: the program stops its players and leaves its event loop. Called by
    // Command2 after the recording is saved and the catalogue closed.
    std::function<void()> endProgram;

    // Which output optPrinter chooses for printing.
    bool printsToExcel() const;

    QPushButton *Song_Add = nullptr;
    QPushButton *Song_modify_by_singer = nullptr;
    QPushButton *Command3 = nullptr;
    QPushButton *batch_reg = nullptr;
    QPushButton *reg_by_file = nullptr;
    QPushButton *Command4 = nullptr;
    QPushButton *print_all = nullptr;
    QGroupBox *Frame1 = nullptr;
    QLineEdit *print_start_date = nullptr; // labels Label1 and Label2
    QLineEdit *keyword = nullptr;          // label Label3
    QPushButton *print_new = nullptr;
    QGroupBox *Frame2 = nullptr;
    std::array<QRadioButton *, 2> optPrinter{};
    QPushButton *Command1 = nullptr;
    QPushButton *Command2 = nullptr;

private:
    void createControls();
    void createPrintArea();
    void initialise();
    template<class Window> void runWindow();
    QPushButton *addHookButton(QWidget *parent, const QString &name, const QString &caption, QRect geometry,
                               std::function<void()> ManagerMenu::*hook);
};
