#include "manage/singer_modify.h"

#include "core/shared_state.h"
#include "manage/singer_choice_dialog.h"
#include "manage/singer_registry.h"
#include "platform/services.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

SingerModify::SingerModify(SharedState &state, Services &services, QSize screen, QWidget *parent)
    : ManagerDialog(state, services, screen, QStringLiteral("singer_modify"), QStringLiteral("歌手資料管理"),
                    QSize(420, 220), parent)
{
    singer_name = addLabelledTextBox(this, QStringLiteral("Label2"), QStringLiteral("歌手名稱"),
                                     QStringLiteral("singer_name"), 20, 20, 100, 185);
    singer_search = addButton(this, QStringLiteral("singer_search"), QStringLiteral("找"), QRect(320, 20, 80, 30),
                              [this] { singer_search_Click(); });
    addLabel(this, QStringLiteral("Label3"), QStringLiteral("歌手性別"), QRect(20, 65, 100, 30));
    singer_sex = addList(this, QStringLiteral("singer_sex"), kSingerSexEntries, QRect(125, 65, 185, 30));
    singer_insert = addButton(this, QStringLiteral("singer_insert"), QStringLiteral("新增"), QRect(20, 118, 120, 38),
                              [this] { singer_insert_Click(); });
    singer_modify_do = addButton(this, QStringLiteral("singer_modify_do"), QStringLiteral("修改"),
                                 QRect(150, 118, 120, 38), [this] { singer_modify_do_Click(); });
    delete_do = addButton(this, QStringLiteral("delete_do"), QStringLiteral("刪除"), QRect(280, 118, 120, 38),
                          [this] { delete_do_Click(); });
    Command1 = addButton(this, QStringLiteral("Command1"), QStringLiteral("離開"), QRect(150, 168, 120, 38),
                         [this] { Command1_Click(); });
    fitToScreen(0.4);
    centreOnScreen();
}

void SingerModify::singer_search_Click()
{
    const std::optional<SingerRecord> singer = SingerChoiceDialog::choose(
        SingerChoiceDialog::Variant::singer_modify_check_singer, m_state, m_services, m_screen, singer_name->text(), this);
    if (!singer)
        return;
    singer_name->setText(singer->singer_name);
    singer_sex->setCurrentIndex(singer->singer_sex >= 0 && singer->singer_sex < singer_sex->count() ? singer->singer_sex
                                                                                                     : -1);
    m_currentCode = singer->singer_code;
}

void SingerModify::singer_insert_Click()
{
    SingerRegistry(m_state, m_services.messageBoxes).add(singer_name->text(), singer_sex->currentIndex());
}

void SingerModify::singer_modify_do_Click()
{
    SingerRegistry(m_state, m_services.messageBoxes)
        .modify(m_currentCode, singer_name->text(), singer_sex->currentIndex());
}

void SingerModify::delete_do_Click()
{
    if (SingerRegistry(m_state, m_services.messageBoxes).remove(m_currentCode))
        singer_name->clear();
}

void SingerModify::Command1_Click()
{
    reject();
}
