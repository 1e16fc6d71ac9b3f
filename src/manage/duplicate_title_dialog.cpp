#include "manage/duplicate_title_dialog.h"

#include "core/database.h"
#include "core/lookups.h"
#include "core/scoped_transaction.h"
#include "core/shared_state.h"
#include "manage/media_file_removal.h"
#include "platform/message_boxes.h"
#include "platform/services.h"
#include "playback/small_view.h"
#include "platform/modal_runner.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

// The similar-song table of the window holds this many rows.
constexpr int kSimilarRows = 2001;
const QString kSingerPrefix = QStringLiteral("演唱者:");
const QString kFileGoesToo = QStringLiteral("刪除之後,原始檔案也會一並刪除");

} // namespace

DuplicateTitleDialog::DuplicateTitleDialog(Variant variant, const SongRecord &newSong, SharedState &state,
                                           Services &services, QSize screen, QWidget *parent)
    : ManagerDialog(state, services, screen,
                    variant == Variant::song_add_same ? QStringLiteral("song_add_same") : QStringLiteral("batch_same"),
                    variant == Variant::song_add_same ? QStringLiteral("類似曲名") : QStringLiteral("批次新增"),
                    QSize(640, 370), parent)
    , m_variant(variant)
    , m_song(newSong)
{
    createControls();
    fitToScreen(0.5);
    centreOnScreen();
    new_song_name->setText(m_song.song_name.trimmed());
    loadSimilarSongs();
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
    new_cancel->setToolTip(kFileGoesToo);

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
    org_kill->setToolTip(single ? kFileGoesToo + QStringLiteral(",並讓新進歌曲替換") : kFileGoesToo);

    connect(org_song_name, &QComboBox::activated, this, [this] { guarded([this] { org_song_name_Click(); }); });
    connect(org_song_name->lineEdit(), &QLineEdit::textEdited, this, [this] { refuseTyping(); });
}

void DuplicateTitleDialog::loadSimilarSongs()
{
    org_song_name->clear();
    m_similar = findSimilarTitles(m_state.db(), m_song.song_name, m_song.song_text_count, kSimilarRows);
    for (const SimilarSong &song : std::as_const(m_similar))
        org_song_name->addItem(song.song_name);
    org_song_name->setCurrentIndex(m_similar.isEmpty() ? -1 : 0);
    org_song_name_Click();
}

const SimilarSong *DuplicateTitleDialog::selectedSong() const
{
    const int row = org_song_name->currentIndex();
    return row >= 0 && row < m_similar.size() ? &m_similar[row] : nullptr;
}

void DuplicateTitleDialog::org_song_name_Click()
{
    const SimilarSong *song = selectedSong();
    org_song_singer_lab->setText(kSingerPrefix + (song ? GetSingerName(m_state, song->song_singer_code) : QString()));
}

void DuplicateTitleDialog::refuseTyping()
{
    m_services.messageBoxes.ok(QStringLiteral("您不可以修改本欄位資料, 若想要修改曲名請在下列新曲名修改"));
    const int row = org_song_name->currentIndex();
    org_song_name->setEditText(row >= 0 ? org_song_name->itemText(row) : QString());
}

void DuplicateTitleDialog::new_add_Click()
{
    SongRecord song = m_song;
    song.song_name = new_song_name->text();
    if (song.song_name.trimmed().isEmpty()) {
        m_services.messageBoxes.ok(QStringLiteral("請輸入正確的曲目名"));
        return;
    }
    insertSong(m_state.db(), song);
    finishRegistered(song);
}

void DuplicateTitleDialog::finishRegistered(const SongRecord &song)
{
    m_song = song;
    m_outcome = Outcome::Registered;
    m_services.messageBoxes.ok(m_variant == Variant::song_add_same ? QStringLiteral("存入ok! 請進行下一首曲的建檔作業")
                                                                   : QStringLiteral("存入ok! 請進行下一首曲的批次作業"));
    accept();
}

void DuplicateTitleDialog::new_cancel_Click()
{
    MessageBoxes &boxes = m_services.messageBoxes;
    if (!Frame1->isEnabled()
        && !boxes.yesNo(QStringLiteral("原本的歌曲檔及其登錄已經被您刪除了,請問您是否真的要取消這首新進歌曲的新登錄?")))
        return;
    if (!boxes.yesNo(QStringLiteral("您這新進的歌真的不登錄? 是否真的要算了而進行下一首歌的登錄?")))
        return;
    if (boxes.yesNo(QStringLiteral("是否要一起刪除這新進歌曲的檔案?")))
        removeMediaFile(m_state, m_services, m_song.song_location.trimmed(), QString());
    m_outcome = Outcome::GivenUp;
    accept();
}

void DuplicateTitleDialog::preview(const QString &path, const QString &caption)
{
    SmallView view(m_services.mediaPlayers, m_screen, this);
    view.setWindowTitle(caption);
    view.setFilePath(path);
    ModalRunner::exec(view);
}

void DuplicateTitleDialog::new_view_Click()
{
    preview(m_song.song_location.trimmed(), QStringLiteral("瀏覽新進的歌曲檔"));
}

void DuplicateTitleDialog::org_view_Click()
{
    if (const SimilarSong *song = selectedSong())
        preview(GetSongLocation(m_state, song->song_num.trimmed()), QStringLiteral("瀏覽原本的歌曲檔"));
}

// The old song goes and the new one takes its number. The old rows and, when the owner wants
// it at once, the new song are written as one piece; the old file is deleted only after that
// piece is in the catalogue, so a failure leaves both the catalogue and the file as they were.
void DuplicateTitleDialog::org_kill_Click()
{
    const SimilarSong *old = selectedSong();
    if (!old || !Frame1->isEnabled())
        return;
    MessageBoxes &boxes = m_services.messageBoxes;
    if (!boxes.yesNo(QStringLiteral("若是刪除舊曲, 則舊曲的歌檔也會從系統中刪除掉!\n"
                                    "而舊曲的曲目編號也會即時讓給新的登錄!!\n請確定")))
        return;
    const QString oldNum = old->song_num.trimmed();
    const QString oldFile = GetSongLocation(m_state, oldNum).trimmed();
    const bool oldFileFound = oldFile != kNotFoundText + oldNum;
    SongRecord replacement = m_song;
    replacement.song_num = oldNum;
    replacement.song_name = new_song_name->text();

    Database &db = m_state.db();
    ScopedTransaction transaction(db);
    deleteSong(db, oldNum);
    const bool replace = boxes.yesNo(QStringLiteral("舊曲目已刪除, 是否讓新曲目替換上?"));
    if (replace)
        insertSong(db, replacement);
    transaction.commit();

    m_song.song_num = oldNum;
    Frame1->setTitle(QStringLiteral("原本歌曲登錄及檔案已刪除"));
    Frame1->setEnabled(false);
    // The new song may be the very file the old one played: that file stays.
    if (oldFileFound && oldFile != m_song.song_location.trimmed())
        removeMediaFile(m_state, m_services, oldFile, oldNum);
    if (replace)
        finishRegistered(replacement);
}

void DuplicateTitleDialog::org_modify_Click()
{
    const SimilarSong *old = selectedSong();
    if (!old)
        return;
    const QString title = org_renew->text().trimmed();
    if (title.isEmpty()) {
        m_services.messageBoxes.ok(QStringLiteral("請輸入正確的曲目名"));
        return;
    }
    Database &db = m_state.db();
    ScopedTransaction transaction(db);
    db.ExecuteSql(QStringLiteral("UPDATE song SET song_name = ? WHERE song_num = ?"), {title, old->song_num.trimmed()});
    transaction.commit();
    refreshTitles();
    m_services.messageBoxes.ok(QStringLiteral("舊曲名已修改為") + title);
}

// Every title is read again from the catalogue; the selection stays where it was.
void DuplicateTitleDialog::refreshTitles()
{
    const int selected = org_song_name->currentIndex();
    QStringList titles;
    for (SimilarSong &song : m_similar) {
        song.song_name = GetSongName(m_state, song.song_num.trimmed());
        titles.append(song.song_name);
    }
    org_song_name->clear();
    org_song_name->addItems(titles);
    org_song_name->setCurrentIndex(selected);
}
