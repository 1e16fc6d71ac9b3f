#include "bulk/reg_by_filename.h"

#include "bulk/file_name_run.h"
#include "bulk/list_file.h"
#include "bulk/reg_by_filename_modify_filename.h"
#include "bulk/reg_by_filename_same.h"
#include "core/shared_state.h"
#include "manage/add_singer_dialog.h"
#include "platform/file_dialogs.h"
#include "platform/file_system.h"
#include "platform/message_boxes.h"
#include "platform/services.h"
#include "platform/modal_runner.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

namespace {

void showFileRow(QListWidgetItem *item, const FileRow &row, int index)
{
    item->setText(lstFileContent(row));
    item->setData(Qt::UserRole, index);
    // Rows that need the owner stand out from the rest.
    item->setForeground(row.confirmed ? QColor(Qt::black) : QColor(Qt::darkRed));
}

} // namespace

RegByFilename::RegByFilename(SharedState &state, Services &services, QSize screen, QWidget *parent)
    : BulkWindow(state, services, screen, QStringLiteral("reg_by_filename"), QStringLiteral("依檔名登錄歌曲"),
                    QSize(800, 500), parent)
    , m_table(state, services.fileSystem)
{
    buildControls();
    fitToScreen(0.8);
    centreOnScreen();
}

RegByFilename::~RegByFilename() = default;

void RegByFilename::buildControls()
{
    Label1 = addLabel(this, QStringLiteral("Label1"), QStringLiteral("路徑"), {20, 14, 50, 32});
    txtPath = addTextBox(this, QStringLiteral("txtPath"), {75, 14, 545, 32});
    cmdBrowse = addButton(this, QStringLiteral("cmdBrowse"), QStringLiteral("瀏覽"), {630, 12, 150, 36},
                          [this] { cmdBrowse_Click(); });
    addLabel(this, QStringLiteral("labGrammar"), QStringLiteral("檔名格式: ") + kFileNameGrammar, {75, 48, 705, 24});

    frmSongFile = addFrame(QStringLiteral("frmSongFile"), QStringLiteral("歌曲檔案"), {20, 74, 760, 282});
    lstFileInfo = addListBox(frmSongFile, QStringLiteral("lstFileInfo"), {10, 26, 740, 246});
    lstFileInfo->setUniformItemSizes(true);

    labSongInfo = addProgressLine(QStringLiteral("labSongInfo"), {20, 362, 760, 30});
    addProgressStrip(QRect{20, 396, 760, 30});

    frmAddSinger = addFrame(QStringLiteral("frmAddSinger"), QStringLiteral("新歌手"), {20, 424, 220, 66});
    cmdAddSinger = addButton(frmAddSinger, QStringLiteral("cmdAddSinger"), QStringLiteral("新增歌手"),
                             {15, 24, 190, 34}, [this] { cmdAddSinger_Click(); });
    frmRepeat = addFrame(QStringLiteral("frmRepeat"), QStringLiteral("曲目重覆"), {260, 424, 220, 66});
    cmdRepeadCom = addButton(frmRepeat, QStringLiteral("cmdRepeadCom"), QStringLiteral("修改指令"), {15, 24, 190, 34},
                             [this] { cmdRepeadCom_Click(); });
    frmAddSinger->hide();
    frmRepeat->hide();
    cmdReg = addButton(this, QStringLiteral("cmdReg"), QStringLiteral("登錄"), {630, 432, 150, 56},
                       [this] { cmdReg_Click(); });

    connect(txtPath, &QLineEdit::returnPressed, this, &RegByFilename::rescan);
    connect(lstFileInfo, &QListWidget::itemClicked, this, [this] { guarded([this] { lstFileInfo_Click(); }); });
    connect(lstFileInfo, &QListWidget::itemActivated, this, [this] { guarded([this] { lstFileInfo_DblClick(); }); });
}

void RegByFilename::cmdBrowse_Click()
{
    if (!m_rescan) {
        txtPath->clear();
        const QString chosen = m_services.fileDialogs.openFileTitled(QStringLiteral("指定路徑 ; 請隨便點選一個檔"),
                                                                     m_state.AppPath, QString());
        txtPath->setText(folderOf(chosen));
    }
    if (!m_services.fileSystem.folderExists(txtPath->text())) {
        m_services.messageBoxes.ok(QStringLiteral("請確實指定路徑"));
        return;
    }
    scanFolder();
}

void RegByFilename::rescan()
{
    m_rescan = true;
    cmdBrowse_Click();
    m_rescan = false;
}

void RegByFilename::scanFolder()
{
    lstFileInfo->clear();
    frmAddSinger->hide();
    frmRepeat->hide();
    guarded([this] {
        const auto progress = showProgress();
        m_table.scan(txtPath->text(), *progress, [this](int i) {
            auto *item = new QListWidgetItem;
            showFileRow(item, m_table.row(i), i);
            lstFileInfo->addItem(item);
        });
    });
    labSongInfo->clear();
}

int RegByFilename::selectedRow() const
{
    const QListWidgetItem *item = lstFileInfo->currentItem();
    return item ? item->data(Qt::UserRole).toInt() : -1;
}

void RegByFilename::lstFileInfo_Click()
{
    frmAddSinger->hide();
    frmRepeat->hide();
    labSongInfo->clear();
    const int i = selectedRow();
    if (i < 0)
        return;
    const SelectionMessage message = selectionMessage(m_table.row(i));
    labSongInfo->setText(message.text);
    frmAddSinger->setVisible(message.showAddSinger);
    frmRepeat->setVisible(message.showRepeat);
}

void RegByFilename::lstFileInfo_DblClick()
{
    const int i = selectedRow();
    if (i < 0)
        return;
    RegByFilenameModifyFilename dialog(m_state, m_services, m_screen, m_table.row(i).shownName(), this);
    ModalRunner::exec(dialog);
    if (m_table.rename(i, dialog.fileName().trimmed()))
        refreshRow(i);
}

void RegByFilename::cmdAddSinger_Click()
{
    const int i = selectedRow();
    if (i < 0)
        return;
    // Each singer the catalogue lacks is offered to the owner, one dialog after another.
    AddSingerAsker asker(AddSingerDialog::Variant::reg_by_filename_addSinger, m_state, m_services, m_screen, this);
    for (const QString &singer : splitSingers(m_table.row(i).singerField))
        settleSinger(m_state.db(), asker, singer);
    m_table.setArySong(i);
    m_table.row(i).reconfirm();
    refreshRow(i);
}

void RegByFilename::cmdRepeadCom_Click()
{
    const int i = selectedRow();
    if (i < 0)
        return;
    FileRow &row = m_table.row(i);
    RegByFilenameSame dialog(m_state, m_services, m_screen, row, this);
    ModalRunner::exec(dialog);
    row.command = dialog.command();
    row.replacedNumber = dialog.replacedNumber();
    row.reconfirm();
    refreshRow(i);
}

void RegByFilename::refreshRow(int i)
{
    QListWidgetItem *item = lstFileInfo->item(i);
    if (!item)
        return;
    showFileRow(item, m_table.row(i), i);
    lstFileInfo->setCurrentItem(item);
    lstFileInfo_Click();
}

void RegByFilename::cmdReg_Click()
{
    frmAddSinger->hide();
    frmRepeat->hide();
    labSongInfo->clear();
    const int unconfirmed = m_table.firstUnconfirmed();
    if (unconfirmed >= 0) {
        labSongInfo->setText(QStringLiteral("尚有檔案未確認或格式錯誤 !"));
        lstFileInfo->setCurrentRow(unconfirmed);
        return;
    }
    int conflicting = -1;
    if (const QString conflict = conflictingRows(m_table, &conflicting); !conflict.isEmpty()) {
        labSongInfo->setText(conflict);
        lstFileInfo->setCurrentRow(conflicting);
        return;
    }
    RunOutcome outcome;
    {
        const auto progress = showProgress();
        outcome = registerFileRows(m_state, m_services.fileSystem, m_table, todayText(m_services), RowsTaken::All,
                                   *progress);
    }
    rescan();
    if (!outcome.problems.isEmpty())
        m_services.messageBoxes.ok(outcome.problems.join(QLatin1Char('\n')));
    if (outcome.stopped)
        labSongInfo->setText(QStringLiteral("登錄已停止! 尚未登錄的檔案仍列在表中"));
    else
        labSongInfo->setText(QStringLiteral("已完成%1筆資料的登錄! ").arg(m_table.size()));
}
