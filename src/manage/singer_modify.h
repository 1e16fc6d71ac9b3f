#pragma once

#include "manage/manager_dialog.h"
#include "catalogue/singer_records.h"

// "歌手資料管理": finds a singer by the beginning of the name, then renames, changes the sex
// of or deletes that singer, or adds a new one (SingerRegistry). Songs keep their singer codes.
class SingerModify : public ManagerDialog
{
    Q_OBJECT

public:
    SingerModify(SharedState &state, Services &services, QSize screen, QWidget *parent = nullptr);

    void singer_search_Click();
    void singer_insert_Click();
    void singer_modify_do_Click();
    void delete_do_Click();
    void Command1_Click();

    // The singer last picked with "找"; 0 before any pick.
    qint64 currentSingerCode() const { return m_currentCode; }

    QLineEdit *singer_name = nullptr; // label Label2
    QPushButton *singer_search = nullptr;
    QComboBox *singer_sex = nullptr; // label Label3
    QPushButton *singer_insert = nullptr;
    QPushButton *singer_modify_do = nullptr;
    QPushButton *delete_do = nullptr;
    QPushButton *Command1 = nullptr;

private:
    qint64 m_currentCode = 0;
};
