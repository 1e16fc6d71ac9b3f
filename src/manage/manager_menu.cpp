#include "manage/manager_menu.h"

#include "core/database.h"
#include "core/init_system.h"
#include "core/shared_state.h"
#include "manage/manager_song_statu.h"
#include "manage/singer_modify.h"
#include "manage/song_add.h"
#include "manage/song_modify.h"
#include "platform/message_boxes.h"
#include "platform/services.h"
#include "playback/wav_file_open.h"
#include "platform/modal_runner.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace {
constexpr int kLeftX = 20;
constexpr int kLeftWidth = 300;
constexpr int kRightX = 340;
constexpr int kRightWidth = 340;
constexpr int kButtonHeight = 45;
} // namespace

ManagerMenu::ManagerMenu(SharedState &state, Services &services, QSize screen, QWidget *parent)
    : ManagerDialog(state, services, screen, QStringLiteral("manager_menu"),
                    QStringLiteral("Tolvek's Karaoke Manager Mode"), QSize(700, 430), parent)
{
    initialise();
    createControls();
    print_start_date->setText(todayText(services));
    fitToScreen(0.8);
    centreOnScreen();
}

// The settings and the catalogue are read again, so a change made to Setting.ini while the
// program runs takes effect now.
void ManagerMenu::initialise()
{
    const InitResult init = InitSystem(m_state, m_services.fileSystem, m_services.clock, m_state.AppPath);
    for (const QString &notice : init.notices)
        m_services.messageBoxes.ok(notice);
    if (!init.ok)
        m_services.messageBoxes.ok(init.problem);
}

void ManagerMenu::createControls()
{
    auto left = [](int row) { return QRect(kLeftX, 20 + row * 55, kLeftWidth, kButtonHeight); };
    Song_Add = addButton(this, QStringLiteral("Song_Add"), QStringLiteral("新增歌曲"), left(0), [this] { Song_Add_Click(); });
    Song_modify_by_singer = addButton(this, QStringLiteral("Song_modify_by_singer"), QStringLiteral("修改刪除歌曲資料"),
                                      left(1), [this] { Song_modify_by_singer_Click(); });
    Command3 = addButton(this, QStringLiteral("Command3"), QStringLiteral("修改刪除歌手資料"), left(2),
                         [this] { Command3_Click(); });
    batch_reg = addHookButton(this, QStringLiteral("batch_reg"), QStringLiteral("批次登錄"), left(3),
                              &ManagerMenu::openBatchRegistration);
    reg_by_file = addHookButton(this, QStringLiteral("reg_by_file"), QStringLiteral("檔名登錄"), left(4),
                                &ManagerMenu::openRegistrationByFileName);
    Command4 = addButton(this, QStringLiteral("Command4"), QStringLiteral("查看曲目數狀況"), left(5),
                         [this] { Command4_Click(); });
    createPrintArea();
    Command1 = addButton(this, QStringLiteral("Command1"), QStringLiteral("回主目錄"),
                         QRect(kLeftX, 360, kLeftWidth, 50), [this] { Command1_Click(); });
    Command2 = addButton(this, QStringLiteral("Command2"), QStringLiteral("離開點歌系統"),
                         QRect(kRightX, 360, kRightWidth, 50), [this] { Command2_Click(); });
}

void ManagerMenu::createPrintArea()
{
    print_all = addHookButton(this, QStringLiteral("print_all"), QStringLiteral("列印全部目錄"),
                              QRect(kRightX, 20, kRightWidth, kButtonHeight), &ManagerMenu::printAll);
    Frame1 = addFrame(QStringLiteral("Frame1"), QStringLiteral("條件列印功能"), QRect(kRightX, 75, kRightWidth, 170));
    print_start_date = addLabelledTextBox(Frame1, QStringLiteral("Label1"), QStringLiteral("從建檔日期"),
                                          QStringLiteral("print_start_date"), 10, 32, 100, 125);
    addLabel(Frame1, QStringLiteral("Label2"), QStringLiteral("開始列印"), QRect(250, 32, 85, 30));
    keyword = addLabelledTextBox(Frame1, QStringLiteral("Label3"), QStringLiteral("關建字"), QStringLiteral("keyword"), 10,
                                 74, 100, 215);
    print_new = addHookButton(Frame1, QStringLiteral("print_new"), QStringLiteral("條件列印"), QRect(115, 118, 215, 40),
                              &ManagerMenu::printNew);
    Frame2 = addFrame(QStringLiteral("Frame2"), QStringLiteral("列印選項"), QRect(kRightX, 255, kRightWidth, 85));
    // Option 0 is the printer and option 1 Excel; the box shows Excel first.
    const char *options[] = {"預設印表機", "Excel"};
    for (size_t i = 0; i < optPrinter.size(); ++i) {
        optPrinter[i] = new QRadioButton(QString::fromUtf8(options[i]), Frame2);
        optPrinter[i]->setObjectName(QStringLiteral("optPrinter_%1").arg(i));
        optPrinter[i]->setGeometry(i == 1 ? QRect(20, 38, 120, 30) : QRect(150, 38, 175, 30));
        registerControl(optPrinter[i]);
    }
    optPrinter[0]->setChecked(true);
}

QPushButton *ManagerMenu::addHookButton(QWidget *parent, const QString &name, const QString &caption,
                                        QRect geometry, std::function<void()> ManagerMenu::*hook)
{
    return addButton(parent, name, caption, geometry, [this, hook] {
        if (this->*hook)
            (this->*hook)();
    });
}

bool ManagerMenu::printsToExcel() const
{
    return optPrinter[1]->isChecked();
}

template<class Window> void ManagerMenu::runWindow()
{
    Window window(m_state, m_services, m_screen, this);
    ModalRunner::exec(window);
}

void ManagerMenu::Song_Add_Click()
{
    runWindow<SongAdd>();
}

void ManagerMenu::Song_modify_by_singer_Click()
{
    runWindow<SongModify>();
}

void ManagerMenu::Command3_Click()
{
    runWindow<SingerModify>();
}

void ManagerMenu::Command4_Click()
{
    runWindow<ManagerSongStatu>();
}

void ManagerMenu::Command1_Click()
{
    accept();
}

// The program ends from here: a recording still running is saved, the catalogue closed,
// then the program stops its players and leaves.
void ManagerMenu::Command2_Click()
{
    if (m_state.Recording && m_state.Recorder) {
        m_state.Recorder->sSave();
        m_state.Recorder->sClose();
        m_state.Recording = false;
    }
    if (m_state.database)
        m_state.db().close();
    accept();
    if (endProgram)
        endProgram();
}
