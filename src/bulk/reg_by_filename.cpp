#include "bulk/reg_by_filename.h"

#include "bulk/file_name_run.h"
#include "bulk/list_file.h"
#include "bulk/manager_dialogs.h"
#include "bulk/reg_by_filename_modify_filename.h"
#include "bulk/reg_by_filename_same.h"
#include "bulk/song_rules.h"
#include "bulk/window_progress.h"
#include "core/database_error.h"
#include "core/shared_state.h"
#include "platform/clock.h"
#include "platform/file_dialogs.h"
#include "platform/file_system.h"
#include "platform/message_boxes.h"
#include "platform/services.h"
#include "widgets/manager_layout.h"
#include "widgets/modal_runner.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>

#include <optional>

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
    : QDialog(parent)
    , m_state(state)
    , m_services(services)
    , m_screen(screen)
    , m_table(state, services.fileSystem)
{
    setObjectName(QStringLiteral("reg_by_filename"));
    setWindowTitle(QStringLiteral("依檔名登錄歌曲"));
    resize(800, 500);
    setManagerFont(*this);
    buildControls();
    fitManagerWindow(*this, screen, 0.8);
    labSongInfo->clear();
    txtPath->clear();
}

RegByFilename::~RegByFilename() = default;

void RegByFilename::buildControls()
{
    Label1 = addControl<QLabel>(this, "Label1", {20, 14, 50, 32});
    Label1->setText(QStringLiteral("路徑"));
    txtPath = addControl<QLineEdit>(this, "txtPath", {75, 14, 545, 32});
    cmdBrowse = addControl<QPushButton>(this, "cmdBrowse", {630, 12, 150, 36});
    cmdBrowse->setText(QStringLiteral("瀏覽"));
    auto *grammar = addControl<QLabel>(this, "labGrammar", {75, 48, 705, 24});
    grammar->setText(QStringLiteral("檔名格式: ") + kFileNameGrammar);

    frmSongFile = addControl<QGroupBox>(this, "frmSongFile", {20, 74, 760, 282});
    frmSongFile->setTitle(QStringLiteral("歌曲檔案"));
    lstFileInfo = addControl<QListWidget>(frmSongFile, "lstFileInfo", {10, 26, 740, 246});
    lstFileInfo->setUniformItemSizes(true);

    labSongInfo = addControl<QLabel>(this, "labSongInfo", {20, 362, 760, 30});
    labSongInfo->setStyleSheet(QStringLiteral("color: #0000a0;"));
    prgProgress = addControl<QProgressBar>(this, "prgProgress", {20, 398, 600, 22});
    cmdStop = addControl<QPushButton>(this, "cmdStop", {630, 394, 150, 30});
    cmdStop->setText(QStringLiteral("停止"));
    prgProgress->hide();
    cmdStop->hide();

    frmAddSinger = addControl<QGroupBox>(this, "frmAddSinger", {20, 424, 220, 66});
    frmAddSinger->setTitle(QStringLiteral("新歌手"));
    cmdAddSinger = addControl<QPushButton>(frmAddSinger, "cmdAddSinger", {15, 24, 190, 34});
    cmdAddSinger->setText(QStringLiteral("新增歌手"));
    frmRepeat = addControl<QGroupBox>(this, "frmRepeat", {260, 424, 220, 66});
    frmRepeat->setTitle(QStringLiteral("曲目重覆"));
    cmdRepeadCom = addControl<QPushButton>(frmRepeat, "cmdRepeadCom", {15, 24, 190, 34});
    cmdRepeadCom->setText(QStringLiteral("修改指令"));
    frmAddSinger->hide();
    frmRepeat->hide();
    cmdReg = addControl<QPushButton>(this, "cmdReg", {630, 432, 150, 56});
    cmdReg->setText(QStringLiteral("登錄"));

    connect(cmdBrowse, &QPushButton::clicked, this, &RegByFilename::cmdBrowse_Click);
    connect(txtPath, &QLineEdit::returnPressed, this, &RegByFilename::rescan);
    connect(lstFileInfo, &QListWidget::itemClicked, this, &RegByFilename::lstFileInfo_Click);
    connect(lstFileInfo, &QListWidget::itemActivated, this, &RegByFilename::lstFileInfo_DblClick);
    connect(cmdAddSinger, &QPushButton::clicked, this, &RegByFilename::cmdAddSinger_Click);
    connect(cmdRepeadCom, &QPushButton::clicked, this, &RegByFilename::cmdRepeadCom_Click);
    connect(cmdReg, &QPushButton::clicked, this, &RegByFilename::cmdReg_Click);
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
    try {
        WindowProgress progress(*labSongInfo, *prgProgress, *cmdStop);
        m_table.scan(txtPath->text(), progress, [this](int i) {
            auto *item = new QListWidgetItem;
            showFileRow(item, m_table.row(i), i);
            lstFileInfo->addItem(item);
        });
    } catch (const DatabaseError &e) {
        m_services.messageBoxes.ok(e.message());
    }
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
    RegByFilenameModifyFilename dialog(m_table.row(i).fileName(), m_screen, this);
    ModalRunner::exec(dialog);
    try {
        if (m_table.rename(i, dialog.fileName().trimmed()))
            refreshRow(i);
    } catch (const DatabaseError &e) {
        m_services.messageBoxes.ok(e.message());
    }
}

void RegByFilename::cmdAddSinger_Click()
{
    const int i = selectedRow();
    if (i < 0)
        return;
    try {
        for (const QString &singer : splitSingers(m_table.row(i).singerField)) {
            if (!singerCodeOf(m_state, singer))
                openRegByFilenameAddSinger(m_state, m_services, m_screen, this, singer);
        }
        m_table.setArySong(i);
        m_table.row(i).reconfirm();
        refreshRow(i);
    } catch (const DatabaseError &e) {
        m_services.messageBoxes.ok(e.message());
    }
}

void RegByFilename::cmdRepeadCom_Click()
{
    const int i = selectedRow();
    if (i < 0)
        return;
    FileRow &row = m_table.row(i);
    try {
        RegByFilenameSame dialog(m_state, m_services, m_screen, row, this);
        ModalRunner::exec(dialog);
        row.command = dialog.command();
        row.replacedNumber = dialog.replacedNumber();
    } catch (const DatabaseError &e) {
        m_services.messageBoxes.ok(e.message());
        return;
    }
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
    std::optional<RunOutcome> outcome;
    try {
        WindowProgress progress(*labSongInfo, *prgProgress, *cmdStop);
        outcome = registerFileRows(m_state, m_services.fileSystem, m_table, today(), RowsTaken::All, progress);
    } catch (const DatabaseError &e) {
        m_services.messageBoxes.ok(e.message());
    }
    rescan();
    if (outcome && !outcome->problems.isEmpty())
        m_services.messageBoxes.ok(outcome->problems.join(QLatin1Char('\n')));
    if (outcome && outcome->stopped)
        labSongInfo->setText(QStringLiteral("登錄已停止! 尚未登錄的檔案仍列在表中"));
    else
        labSongInfo->setText(QStringLiteral("已完成%1筆資料的登錄! ").arg(m_table.size()));
}

QString RegByFilename::today() const
{
    return m_services.clock.now().date().toString(QStringLiteral("yyyy/MM/dd"));
}
