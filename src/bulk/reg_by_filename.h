#pragma once

#include "bulk/file_table.h"
#include "bulk/bulk_window.h"

// Registration by file name (依檔名登錄歌曲): the owner picks any file of a folder; every
// supported file is listed with its status line; badly named files are renamed, missing
// singers added and similar titles decided here, and one press registers the folder.
class RegByFilename : public BulkWindow
{
    Q_OBJECT

public:
    RegByFilename(SharedState &state, Services &services, QSize screen, QWidget *parent = nullptr);
    ~RegByFilename() override;

    QLabel *Label1 = nullptr;
    QLineEdit *txtPath = nullptr;
    QPushButton *cmdBrowse = nullptr;
    QGroupBox *frmSongFile = nullptr;
    QListWidget *lstFileInfo = nullptr;
    QLabel *labSongInfo = nullptr;
    QGroupBox *frmAddSinger = nullptr;
    QPushButton *cmdAddSinger = nullptr;
    QGroupBox *frmRepeat = nullptr;
    QPushButton *cmdRepeadCom = nullptr;
    QPushButton *cmdReg = nullptr;

    // The flows, as the controls start them.
    void cmdBrowse_Click();
    void lstFileInfo_Click();
    void lstFileInfo_DblClick();
    void cmdAddSinger_Click();
    void cmdRepeadCom_Click();
    void cmdReg_Click();
    // Browse without the file dialog: the folder in txtPath again (Enter in txtPath).
    void rescan();

    const FileTable &table() const { return m_table; }

private:
    void buildControls();
    // Reads the folder in txtPath into the table and the list.
    void scanFolder();
    // The row of the selected list entry, or -1.
    int selectedRow() const;
    // Puts the row's new status line in its list entry, selects it and shows its message.
    void refreshRow(int i);

    FileTable m_table;
    bool m_rescan = false;
};
