#pragma once

#include "bulk/file_row.h"
#include "manage/manager_dialog.h"

#include <QStringList>

// The duplicate dialog of registration by file name (曲目重覆): the new file beside the
// registered songs whose titles begin with its title; the owner adds it anyway, deletes the
// new file, or lets it replace an old song, and may watch either file first.
class RegByFilenameSame : public ManagerDialog
{
    Q_OBJECT

public:
    RegByFilenameSame(SharedState &state, Services &services, QSize screen, const FileRow &row,
                      QWidget *parent = nullptr);

    QGroupBox *frmNew = nullptr;
    QLineEdit *txtNewSong = nullptr;
    QLabel *labNewSinger = nullptr;
    QPushButton *cmdViewNew = nullptr;
    QGroupBox *frmOrg = nullptr;
    QComboBox *cmbOrgSong = nullptr;
    QLabel *labOrgSinger = nullptr;
    QPushButton *cmdViewOrg = nullptr;
    QLabel *labMsg = nullptr;
    QPushButton *cmdAddNew = nullptr;
    QPushButton *cmdDelete = nullptr;
    QPushButton *cmdReplaceOrg = nullptr;

    // The decision: the row's command and replaced number as they came in, unless a button
    // set others (closing the dialog changes nothing).
    RowCommand command() const { return m_command; }
    QString replacedNumber() const { return m_replacedNumber; }
    // Numbers of the old songs, entry by entry of cmbOrgSong.
    const QStringList &oldNumbers() const { return m_oldNumbers; }

    void cmbOrgSong_Click();
    void cmdAddNew_Click();
    void cmdDelete_Click();
    void cmdReplaceOrg_Click();
    void cmdViewNew_Click();
    void cmdViewOrg_Click();

private:
    void buildControls();
    void loadOldSongs(const QString &title);

    QString m_newPath;
    QStringList m_oldNumbers;
    RowCommand m_command;
    QString m_replacedNumber;
};
