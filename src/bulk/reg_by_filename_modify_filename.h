#pragma once

#include "manage/manager_dialog.h"

// The renaming dialog of registration by file name (reg_by_filename_ModifyFilename): shows the
// file's name and lets the owner edit it.
class RegByFilenameModifyFilename : public ManagerDialog
{
    Q_OBJECT

public:
    RegByFilenameModifyFilename(SharedState &state, Services &services, QSize screen, const QString &fileName,
                                QWidget *parent = nullptr);

    QLabel *labMsgOrgFilename = nullptr;
    QLineEdit *txtFileName = nullptr;
    QPushButton *cmdOK = nullptr;

    // The edited name once OK was pressed; the original name otherwise.
    QString fileName() const { return m_fileName; }
    void cmdOK_Click();

private:
    QString m_fileName;
};
