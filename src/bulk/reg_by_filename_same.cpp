#include "bulk/reg_by_filename_same.h"

#include "core/database.h"
#include "core/file_path.h"
#include "core/lookups.h"
#include "core/shared_state.h"
#include "core/like_pattern.h"
#include "platform/message_boxes.h"
#include "platform/services.h"
#include "playback/small_view.h"
#include "platform/modal_runner.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

RegByFilenameSame::RegByFilenameSame(SharedState &state, Services &services, QSize screen, const FileRow &row,
                                     QWidget *parent)
    : ManagerDialog(state, services, screen, QStringLiteral("reg_by_filename_Same"), QStringLiteral("曲目重覆"),
                    QSize(800, 290), parent)
    , m_newPath(row.path)
    , m_command(row.command)
{
    buildControls();
    fitToScreen(0.8);
    centreOnScreen();
    loadOldSongs(row.title);
    txtNewSong->setText(row.title);
    labNewSinger->setText(row.singerField);
    labMsg->setText(similarTitleMessage(m_command == RowCommand::Ready ? RowCommand::NoCommand : m_command));
}

void RegByFilenameSame::buildControls()
{
    frmNew = addFrame(QStringLiteral("frmNew"), QStringLiteral("新進歌曲"), {20, 12, 370, 166});
    txtNewSong = addLabelledTextBox(frmNew, QStringLiteral("labNewTitle"), QStringLiteral("曲名"),
                                    QStringLiteral("txtNewSong"), 12, 34, 60, 286);
    txtNewSong->setReadOnly(true);
    addLabel(frmNew, QStringLiteral("labNewSingerCaption"), QStringLiteral("演唱者"), {12, 76, 60, 30});
    labNewSinger = addLabel(frmNew, QStringLiteral("labNewSinger"), QString(), {77, 76, 281, 30});
    cmdViewNew = addButton(frmNew, QStringLiteral("cmdViewNew"), QStringLiteral("觀看"), {12, 116, 120, 38},
                           [this] { cmdViewNew_Click(); });

    frmOrg = addFrame(QStringLiteral("frmOrg"), QStringLiteral("原本歌曲"), {410, 12, 370, 166});
    addLabel(frmOrg, QStringLiteral("labOrgTitle"), QStringLiteral("曲名"), {12, 34, 60, 30});
    cmbOrgSong = addList(frmOrg, QStringLiteral("cmbOrgSong"), {}, {77, 34, 281, 30});
    addLabel(frmOrg, QStringLiteral("labOrgSingerCaption"), QStringLiteral("演唱者"), {12, 76, 60, 30});
    labOrgSinger = addLabel(frmOrg, QStringLiteral("labOrgSinger"), QString(), {77, 76, 281, 30});
    cmdViewOrg = addButton(frmOrg, QStringLiteral("cmdViewOrg"), QStringLiteral("觀看"), {12, 116, 120, 38},
                           [this] { cmdViewOrg_Click(); });

    labMsg = addLabel(this, QStringLiteral("labMsg"), QString(), {20, 186, 760, 30});
    cmdAddNew = addButton(this, QStringLiteral("cmdAddNew"), QStringLiteral("新增此曲目"), {20, 228, 180, 44},
                          [this] { cmdAddNew_Click(); });
    cmdDelete = addButton(this, QStringLiteral("cmdDelete"), QStringLiteral("刪除新檔"), {210, 228, 180, 44},
                          [this] { cmdDelete_Click(); });
    cmdReplaceOrg = addButton(this, QStringLiteral("cmdReplaceOrg"), QStringLiteral("取代原始檔"), {600, 228, 180, 44},
                              [this] { cmdReplaceOrg_Click(); });
    connect(cmbOrgSong, &QComboBox::currentIndexChanged, this, [this] { guarded([this] { cmbOrgSong_Click(); }); });
}

// Every title that begins with the new one, of any count; no old song is chosen at first.
void RegByFilenameSame::loadOldSongs(const QString &title)
{
    const QSignalBlocker quiet(cmbOrgSong);
    m_state.db().forEachRow(
        QStringLiteral("SELECT DISTINCT song_name , song_num FROM song WHERE song_name LIKE ?") + kLikeEscape,
        {likePrefix(title)}, [this](const RowView &row) {
            cmbOrgSong->addItem(row.text(0));
            m_oldNumbers.append(row.text(1));
            return true;
        });
    cmbOrgSong->setCurrentIndex(-1);
}

void RegByFilenameSame::cmbOrgSong_Click()
{
    const int index = cmbOrgSong->currentIndex();
    if (index < 0)
        return;
    QStringList singers;
    m_state.db().forEachRow(QStringLiteral("SELECT singer_name from singer where singer_code in "
                                           "( select distinct song_singer_code from song where song_num=?)"),
                            {m_oldNumbers[index]}, [&singers](const RowView &row) {
                                singers.append(row.text(0));
                                return true;
                            });
    labOrgSinger->setText(singers.join(QLatin1Char('+')));
}

void RegByFilenameSame::cmdAddNew_Click()
{
    m_command = RowCommand::AddAnyway;
    accept();
}

void RegByFilenameSame::cmdDelete_Click()
{
    m_command = RowCommand::DeleteFile;
    accept();
}

void RegByFilenameSame::cmdReplaceOrg_Click()
{
    const int index = cmbOrgSong->currentIndex();
    if (index < 0) {
        m_services.messageBoxes.ok(QStringLiteral("請選定將被取代的曲目 !"));
        return;
    }
    m_command = RowCommand::Replace;
    m_replacedNumber = m_oldNumbers[index];
    accept();
}

void RegByFilenameSame::cmdViewNew_Click()
{
    preview(m_newPath, QStringLiteral("瀏覽新進的歌曲檔"));
}

void RegByFilenameSame::cmdViewOrg_Click()
{
    const int index = cmbOrgSong->currentIndex();
    if (index >= 0)
        preview(resolvePath(m_state.AppPath, GetSongLocation(m_state, m_oldNumbers[index])),
                QStringLiteral("瀏覽原本的歌曲檔"));
}

void RegByFilenameSame::preview(const QString &path, const QString &caption)
{
    SmallView view(m_services.mediaPlayers, m_screen, this);
    view.setWindowTitle(caption);
    view.setFilePath(path);
    ModalRunner::exec(view);
}
