#include "manage/duplicate_title_dialog.h"

#include "core/shared_state.h"
#include "platform/message_boxes.h"
#include "platform/plain_text.h"
#include "platform/services.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

const QString kSingerPrefix = QStringLiteral("演唱者:");
const QString kFileGoesToo = QStringLiteral("刪除之後,原始檔案也會一並刪除");

DuplicateResolution::Variant resolutionVariant(DuplicateTitleDialog::Variant variant)
{
    return variant == DuplicateTitleDialog::Variant::song_add_same ? DuplicateResolution::Variant::SongAdd
                                                                    : DuplicateResolution::Variant::Batch;
}

} // namespace

DuplicateTitleDialog::DuplicateTitleDialog(Variant variant, const NewSong &song, const QString &number,
                                           SharedState &state, Services &services, QSize screen, QWidget *parent)
    : ManagerDialog(state, services, screen,
                    variant == Variant::song_add_same ? QStringLiteral("song_add_same") : QStringLiteral("batch_same"),
                    variant == Variant::song_add_same ? QStringLiteral("類似曲名") : QStringLiteral("批次新增"),
                    QSize(640, 370), parent)
    , m_variant(variant)
    , m_resolution(state, services.fileSystem, services.messageBoxes, resolutionVariant(variant), song, number)
{
    createControls();
    fitToScreen(0.5);
    centreOnScreen();
    new_song_name->setText(song.title.trimmed());
    showTitles(m_resolution.similarSongs().isEmpty() ? -1 : 0);
}

void DuplicateTitleDialog::createControls()
{
    Frame2 = addFrame(QStringLiteral("Frame2"), QStringLiteral("新進歌曲"), QRect(10, 10, 620, 115));
    new_song_name = addLabelledTextBox(Frame2, QStringLiteral("new_Label"), QStringLiteral("曲名"),
                                       QStringLiteral("new_song_name"), 15, 30, 60, 525);
    new_view = addButton(Frame2, QStringLiteral("new_view"), QStringLiteral("觀看內容"), QRect(80, 70, 150, 34),
                         [this] { new_view_Click(); });
    new_add = addButton(Frame2, QStringLiteral("new_add"), QStringLiteral("新增"), QRect(240, 70, 150, 34),
                        [this] { new_add_Click(); });
    new_cancel = addButton(Frame2, QStringLiteral("new_cancel"), QStringLiteral("算了"), QRect(400, 70, 150, 34),
                           [this] { new_cancel_Click(); });
    setPlainToolTip(*new_cancel, kFileGoesToo);

    Frame1 = addFrame(QStringLiteral("Frame1"), QStringLiteral("原本歌曲"), QRect(10, 135, 620, 225));
    addLabel(Frame1, QStringLiteral("org_Label1"), QStringLiteral("曲名"), QRect(15, 30, 60, 30));
    org_song_name = addList(Frame1, QStringLiteral("org_song_name"), {}, QRect(80, 30, 525, 30));
    org_song_name->setEditable(true);
    org_song_name->setInsertPolicy(QComboBox::NoInsert);
    org_song_singer_lab = addLabel(Frame1, QStringLiteral("org_song_singer_lab"), kSingerPrefix, QRect(80, 68, 360, 34));
    org_view = addButton(Frame1, QStringLiteral("org_view"), QStringLiteral("觀看內容"), QRect(455, 68, 150, 34),
                         [this] { org_view_Click(); });
    org_renew = addLabelledTextBox(Frame1, QStringLiteral("org_Label2"), QStringLiteral("改曲名"),
                                   QStringLiteral("org_renew"), 15, 115, 60, 525);
    org_modify = addButton(Frame1, QStringLiteral("org_modify"), QStringLiteral("修改曲名"), QRect(80, 165, 150, 34),
                           [this] { org_modify_Click(); });
    const bool single = m_variant == Variant::song_add_same;
    org_kill = addButton(Frame1, QStringLiteral("org_kill"), single ? QStringLiteral("刪除替換") : QStringLiteral("刪除"),
                         QRect(240, 165, 150, 34), [this] { org_kill_Click(); });
    setPlainToolTip(*org_kill, single ? kFileGoesToo + QStringLiteral(",並讓新進歌曲替換") : kFileGoesToo);

    connect(org_song_name, &QComboBox::activated, this, [this] { guarded([this] { org_song_name_Click(); }); });
    connect(org_song_name->lineEdit(), &QLineEdit::textEdited, this, [this] { refuseTyping(); });
}

void DuplicateTitleDialog::showTitles(int selected)
{
    org_song_name->clear();
    for (const SimilarSong &song : m_resolution.similarSongs())
        org_song_name->addItem(song.song_name);
    org_song_name->setCurrentIndex(selected);
    org_song_name_Click();
}

void DuplicateTitleDialog::org_song_name_Click()
{
    org_song_singer_lab->setText(kSingerPrefix + m_resolution.singerOf(org_song_name->currentIndex()));
}

void DuplicateTitleDialog::refuseTyping()
{
    m_services.messageBoxes.ok(QStringLiteral("您不可以修改本欄位資料, 若想要修改曲名請在下列新曲名修改"));
    const int row = org_song_name->currentIndex();
    org_song_name->setEditText(row >= 0 ? org_song_name->itemText(row) : QString());
}

void DuplicateTitleDialog::finishIf(bool over)
{
    if (over)
        accept();
}

void DuplicateTitleDialog::new_add_Click()
{
    finishIf(m_resolution.registerAnyway(new_song_name->text()));
}

void DuplicateTitleDialog::new_cancel_Click()
{
    finishIf(m_resolution.giveUp());
}

void DuplicateTitleDialog::new_view_Click()
{
    previewFile(m_resolution.newFile(), QStringLiteral("瀏覽新進的歌曲檔"));
}

void DuplicateTitleDialog::org_view_Click()
{
    const QString file = m_resolution.oldFile(org_song_name->currentIndex());
    if (!file.isEmpty())
        previewFile(file, QStringLiteral("瀏覽原本的歌曲檔"));
}

void DuplicateTitleDialog::org_kill_Click()
{
    if (!Frame1->isEnabled())
        return;
    const bool over = m_resolution.replaceOld(org_song_name->currentIndex(), new_song_name->text());
    if (m_resolution.oldSongDeleted()) {
        Frame1->setTitle(QStringLiteral("原本歌曲登錄及檔案已刪除"));
        Frame1->setEnabled(false);
    }
    finishIf(over);
}

void DuplicateTitleDialog::org_modify_Click()
{
    const int selected = org_song_name->currentIndex();
    m_resolution.renameOld(selected, org_renew->text());
    showTitles(selected);
}

void DuplicateTitleDialog::done(int result)
{
    if (result == QDialog::Rejected && !m_closing) {
        m_closing = true;
        guarded([this] { m_resolution.close(new_song_name->text()); });
    }
    ManagerDialog::done(result);
}
