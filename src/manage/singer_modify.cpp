#include "manage/singer_modify.h"

#include "core/database.h"
#include "core/scoped_transaction.h"
#include "core/shared_state.h"
#include "manage/singer_choice_dialog.h"
#include "manage/singer_records.h"
#include "platform/message_boxes.h"
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

bool SingerModify::inputAcceptable()
{
    if (singer_sex->currentIndex() < 0) {
        m_services.messageBoxes.ok(QStringLiteral("請選好歌手性別"));
        return false;
    }
    if (singer_name->text().trimmed().isEmpty()) {
        m_services.messageBoxes.ok(QStringLiteral("請輸入合法的歌手名"));
        return false;
    }
    return true;
}

void SingerModify::singer_insert_Click()
{
    if (!inputAcceptable())
        return;
    const QString name = singer_name->text().trimmed();
    // Compared trimmed, as it will be stored: "王菲 " is the 王菲 already there.
    if (findSingerByName(m_state.db(), name)) {
        m_services.messageBoxes.ok(QStringLiteral("歌手名有重覆, 請修正後再執行\"新增\"功能"));
        return;
    }
    insertSinger(m_state.db(), name, singer_sex->currentIndex());
    m_services.messageBoxes.ok(QStringLiteral("新增歌手資料,") + singer_name->text() + QStringLiteral(",完成"));
}

std::optional<SingerRecord> SingerModify::pickedSinger()
{
    std::optional<SingerRecord> singer = findSingerByCode(m_state.db(), m_currentCode);
    if (!singer)
        m_services.messageBoxes.ok(QStringLiteral("請先按\"找\"鍵來確定輸入的歌手名稱"));
    return singer;
}

void SingerModify::singer_modify_do_Click()
{
    const std::optional<SingerRecord> singer = pickedSinger();
    if (!singer || !inputAcceptable())
        return;
    Database &db = m_state.db();
    ScopedTransaction transaction(db);
    db.ExecuteSql(QStringLiteral("UPDATE singer SET singer_name = ?, singer_sex = ? WHERE singer_code = ?"),
                  {singer_name->text().trimmed(), singer_sex->currentIndex(), singer->singer_code});
    transaction.commit();
    m_services.messageBoxes.ok(QStringLiteral("修歌手資料,") + singer_name->text() + QStringLiteral(",完成"));
}

void SingerModify::delete_do_Click()
{
    const std::optional<SingerRecord> singer = pickedSinger();
    if (!singer)
        return;
    if (!m_services.messageBoxes.yesNo(QStringLiteral("請問是否真的要幹掉") + singer->singer_name
                                       + QStringLiteral("這筆資料?")))
        return;
    Database &db = m_state.db();
    ScopedTransaction transaction(db);
    db.ExecuteSql(QStringLiteral("DELETE FROM singer WHERE singer_code = ?"), {singer->singer_code});
    transaction.commit();
    m_services.messageBoxes.ok(QStringLiteral("刪除歌手資料,") + singer_name->text() + QStringLiteral(",完成"));
    singer_name->clear();
}

void SingerModify::Command1_Click()
{
    reject();
}
