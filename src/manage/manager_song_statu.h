#pragma once

#include "manage/manager_dialog.h"

// "曲目狀況": how many songs the catalogue holds, in all and per kind, printed line by line.
class ManagerSongStatu : public ManagerDialog
{
    Q_OBJECT

public:
    ManagerSongStatu(SharedState &state, Services &services, QSize screen, QWidget *parent = nullptr);

    void Command1_Click();

    QLabel *Picture1 = nullptr;
    QPushButton *Command1 = nullptr;

protected:
    void showEvent(QShowEvent *event) override;
};
