#include "bulk/reg_by_filename_same.h"

#include "bulk/song_rules.h"
#include "core/database.h"
#include "core/lookups.h"
#include "core/shared_state.h"
#include "platform/message_boxes.h"
#include "platform/services.h"
#include "playback/small_view.h"
#include "widgets/manager_layout.h"
#include "widgets/modal_runner.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

QLabel *caption(QWidget *parent, const QString &text, QRect geometry)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QStringLiteral("labCaption"));
    label->setGeometry(geometry);
    return label;
}

} // namespace

RegByFilenameSame::RegByFilenameSame(SharedState &state, Services &services, QSize screen, const FileRow &row,
                                     QWidget *parent)
    : QDialog(parent)
    , m_state(state)
    , m_services(services)
    , m_screen(screen)
    , m_newPath(row.path)
    , m_command(row.command)
{
    setObjectName(QStringLiteral("reg_by_filename_Same"));
    setWindowTitle(QStringLiteral("曲目重覆"));
    resize(800, 330);
    setManagerFont(*this);
    buildControls();
    fitManagerWindow(*this, screen, 0.8);

    loadOldSongs(row.title);
    txtNewSong->setText(row.title);
    labNewSinger->setText(row.singerField);
    labMsg->setText(similarTitleMessage(m_command == RowCommand::Ready ? RowCommand::NoCommand : m_command));
}

void RegByFilenameSame::buildControls()
{
    frmNew = addControl<QGroupBox>(this, "frmNew", {20, 12, 370, 200});
    frmNew->setTitle(QStringLiteral("新進歌曲"));
    caption(frmNew, QStringLiteral("曲名"), {12, 34, 60, 30});
    txtNewSong = addControl<QLineEdit>(frmNew, "txtNewSong", {72, 34, 286, 30});
    txtNewSong->setReadOnly(true);
    caption(frmNew, QStringLiteral("演唱者"), {12, 76, 60, 30});
    labNewSinger = addControl<QLabel>(frmNew, "labNewSinger", {72, 76, 286, 30});
    cmdViewNew = addControl<QPushButton>(frmNew, "cmdViewNew", {12, 146, 120, 38});
    cmdViewNew->setText(QStringLiteral("觀看"));

    frmOrg = addControl<QGroupBox>(this, "frmOrg", {410, 12, 370, 200});
    frmOrg->setTitle(QStringLiteral("原本歌曲"));
    caption(frmOrg, QStringLiteral("曲名"), {12, 34, 60, 30});
    cmbOrgSong = addControl<QComboBox>(frmOrg, "cmbOrgSong", {72, 34, 286, 30});
    caption(frmOrg, QStringLiteral("演唱者"), {12, 76, 60, 30});
    labOrgSinger = addControl<QLabel>(frmOrg, "labOrgSinger", {72, 76, 286, 30});
    cmdViewOrg = addControl<QPushButton>(frmOrg, "cmdViewOrg", {12, 146, 120, 38});
    cmdViewOrg->setText(QStringLiteral("觀看"));

    labMsg = addControl<QLabel>(this, "labMsg", {20, 222, 760, 30});
    cmdAddNew = addControl<QPushButton>(this, "cmdAddNew", {20, 266, 180, 44});
    cmdAddNew->setText(QStringLiteral("新增此曲目"));
    cmdDelete = addControl<QPushButton>(this, "cmdDelete", {210, 266, 180, 44});
    cmdDelete->setText(QStringLiteral("刪除新檔"));
    cmdReplaceOrg = addControl<QPushButton>(this, "cmdReplaceOrg", {600, 266, 180, 44});
    cmdReplaceOrg->setText(QStringLiteral("取代原始檔"));

    connect(cmbOrgSong, &QComboBox::currentIndexChanged, this, &RegByFilenameSame::cmbOrgSong_Click);
    connect(cmdAddNew, &QPushButton::clicked, this, &RegByFilenameSame::cmdAddNew_Click);
    connect(cmdDelete, &QPushButton::clicked, this, &RegByFilenameSame::cmdDelete_Click);
    connect(cmdReplaceOrg, &QPushButton::clicked, this, &RegByFilenameSame::cmdReplaceOrg_Click);
    connect(cmdViewNew, &QPushButton::clicked, this, &RegByFilenameSame::cmdViewNew_Click);
    connect(cmdViewOrg, &QPushButton::clicked, this, &RegByFilenameSame::cmdViewOrg_Click);
}

// Every title that begins with the new one, of any count; no old song is chosen at first.
void RegByFilenameSame::loadOldSongs(const QString &title)
{
    const QSignalBlocker quiet(cmbOrgSong);
    m_state.db().forEachRow(
        QStringLiteral("SELECT DISTINCT song_name , song_num FROM song WHERE song_name LIKE ? ESCAPE '\\'"),
        {likePrefixPattern(title)}, [this](const RowView &row) {
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
        preview(GetSongLocation(m_state, m_oldNumbers[index]), QStringLiteral("瀏覽原本的歌曲檔"));
}

void RegByFilenameSame::preview(const QString &path, const QString &caption)
{
    SmallView view(m_services.mediaPlayers, m_screen, this);
    view.setWindowTitle(caption);
    view.setFilePath(path);
    ModalRunner::exec(view);
}
