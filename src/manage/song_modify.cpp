#include "manage/song_modify.h"

#include "catalogue/song_files.h"
#include "core/shared_state.h"
#include "manage/add_singer_dialog.h"
#include "manage/singer_choice_dialog.h"
#include "manage/song_edit_flow.h"
#include "platform/services.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>

namespace {

constexpr int kRow = 36;
constexpr int kLabelWidth = 80;

QString listEntry(const QString &number, const QString &title, const QString &singer)
{
    return number + QLatin1Char('-') + title + QStringLiteral(" -- ") + singer;
}

} // namespace

// The flow of the window, asking about a missing singer through the add-singer dialog.
class SongModify::Decisions
{
public:
    explicit Decisions(SongModify &window)
        : singers(AddSingerDialog::Variant::singer_add, window.m_state, window.m_services, window.m_screen, &window)
        , flow(window.m_state, window.m_services.fileSystem, window.m_services.messageBoxes, singers)
    {
    }
    AddSingerAsker singers;
    SongEditFlow flow;
};

SongModify::SongModify(SharedState &state, Services &services, QSize screen, QWidget *parent)
    : ManagerDialog(state, services, screen, QStringLiteral("song_modify"), QStringLiteral("歌曲資料新增修改"),
                    QSize(800, 400), parent)
{
    createSearchArea();
    createDataArea();
    key_exit = addButton(this, QStringLiteral("key_exit"), QStringLiteral("離開"), QRect(425, 350, 365, 40),
                         [this] { key_exit_Click(); });
    fitToScreen(1.0);
    move(0, 0);
    Timer1 = new QTimer(this);
    Timer1->setInterval(500);
    connect(Timer1, &QTimer::timeout, this, &SongModify::Timer1_Timer);
    Timer1->start();
    Timer1_Timer();
}

void SongModify::createSearchArea()
{
    addLabel(this, QStringLiteral("Label1"), QStringLiteral("請輸入搜尋條件"), QRect(10, 8, 300, 28));
    keyword_song = addLabelledTextBox(this, QStringLiteral("Label3"), QStringLiteral("歌曲名或編號"),
                                      QStringLiteral("keyword_song"), 10, 40, 115, 190);
    keyword_singer = addLabelledTextBox(this, QStringLiteral("Label2"), QStringLiteral("歌手名"),
                                        QStringLiteral("keyword_singer"), 10, 75, 115, 190);
    key_search = addButton(this, QStringLiteral("key_search"), QStringLiteral("搜尋"), QRect(330, 40, 85, 65),
                           [this] { key_search_Click(); });
    List1 = addListBox(this, QStringLiteral("List1"), QRect(10, 112, 405, 278));
    connect(List1, &QListWidget::itemClicked, this, [this] { guarded([this] { List1_Click(); }); });
    for (QLineEdit *box : {keyword_song, keyword_singer})
        connect(box, &QLineEdit::returnPressed, this, [this] { guarded([this] { key_search_Click(); }); });
}

void SongModify::createDataArea()
{
    data_area = addFrame(QStringLiteral("data_area"), QStringLiteral("資料修改區"), QRect(425, 8, 365, 334));
    auto row = [](int i) { return 28 + i * kRow; };
    song_name = addLabelledTextBox(data_area, QStringLiteral("Label4"), QStringLiteral("曲名"), QStringLiteral("song_name"),
                                   10, row(0), kLabelWidth, 260);
    addLabel(data_area, QStringLiteral("Label5"), QStringLiteral("種類"), QRect(10, row(1), kLabelWidth, 30));
    song_kind = addList(data_area, QStringLiteral("song_kind"), songKindEntries(), QRect(95, row(1), 150, 30));
    addLabel(data_area, QStringLiteral("Label6"), QStringLiteral("字數"), QRect(10, row(2), kLabelWidth, 30));
    song_text_count = addList(data_area, QStringLiteral("song_text_count"), textCountEntries(), QRect(95, row(2), 90, 30));
    song_num = addLabelledTextBox(data_area, QStringLiteral("Label7"), QStringLiteral("編號"), QStringLiteral("song_num"),
                                  10, row(3), kLabelWidth, 150);
    song_build_date = addLabelledTextBox(data_area, QStringLiteral("Label8"), QStringLiteral(" 建檔日"),
                                         QStringLiteral("song_build_date"), 10, row(4), kLabelWidth, 150);
    song_location = addLabelledTextBox(data_area, QStringLiteral("Label9"), QStringLiteral("檔案位置"),
                                       QStringLiteral("song_location"), 10, row(5), kLabelWidth, 200);
    key_location = addButton(data_area, QStringLiteral("key_location"), QStringLiteral("找"),
                             QRect(300, row(5), 55, 30), [this] { key_location_Click(); });
    singer_name = addLabelledTextBox(data_area, QStringLiteral("Label10"), QStringLiteral("歌手"),
                                     QStringLiteral("singer_name"), 10, row(6), kLabelWidth, 200);
    key_singer = addButton(data_area, QStringLiteral("key_singer"), QStringLiteral("找"), QRect(300, row(6), 55, 30),
                           [this] { key_singer_Click(); });
    key_modify = addButton(data_area, QStringLiteral("key_modify"), QStringLiteral("存檔"), QRect(10, 285, 110, 38),
                           [this] { key_modify_Click(); });
    key_delete = addButton(data_area, QStringLiteral("key_delete"), QStringLiteral("刪除"), QRect(127, 285, 110, 38),
                           [this] { key_delete_Click(); });
    view_file = addButton(data_area, QStringLiteral("view_file"), QStringLiteral("預覽"), QRect(245, 285, 110, 38),
                          [this] { view_file_Click(); });
}

void SongModify::Timer1_Timer()
{
    data_area->setEnabled(m_selected);
}

void SongModify::key_search_Click()
{
    List1->clear();
    m_numbers.clear();
    m_selected = false;
    Timer1_Timer();
    Decisions decisions(*this);
    QStringList entries;
    for (const SongSearchHit &hit : decisions.flow.search(keyword_song->text(), keyword_singer->text())) {
        m_numbers.append(hit.song_num);
        entries.append(listEntry(hit.song_num, hit.song_name, hit.singer_name));
    }
    List1->addItems(entries);
}

void SongModify::List1_Click()
{
    const int row = List1->currentRow();
    if (row < 0 || row >= m_numbers.size())
        return;
    Decisions decisions(*this);
    const std::optional<SongEditForm> form = decisions.flow.pick(m_numbers[row]);
    if (!form)
        return;
    m_current = m_numbers[row];
    m_selected = true;
    showForm(*form);
    Timer1_Timer();
}

void SongModify::showForm(const SongEditForm &form)
{
    song_name->setText(form.title);
    song_kind->setCurrentIndex(form.kind >= 0 && form.kind < song_kind->count() ? form.kind : -1);
    showCount(form.count);
    song_location->setText(form.location);
    singer_name->setText(form.singerName);
    song_num->setText(form.number);
    song_build_date->setText(form.buildDate);
}

SongEditForm SongModify::typedForm() const
{
    return {song_num->text(),
            song_name->text(),
            song_kind->currentIndex(),
            song_text_count->currentIndex() < 0 ? -1 : song_text_count->currentText().toInt(),
            song_build_date->text(),
            song_location->text(),
            singer_name->text()};
}

// Counts above 30 come from bulk registration; the list offers them too, so a save keeps them.
void SongModify::showCount(int count)
{
    const QString text = QString::number(count);
    int index = song_text_count->findText(text);
    if (index < 0 && count > 0) {
        song_text_count->addItem(text);
        index = song_text_count->count() - 1;
    }
    song_text_count->setCurrentIndex(index);
}

void SongModify::key_location_Click()
{
    chooseFileInto(song_location);
}

void SongModify::key_singer_Click()
{
    SingerChoiceDialog::chooseInto(SingerChoiceDialog::Variant::song_modify_check_singer, m_state, m_services, m_screen,
                                   singer_name, this);
}

void SongModify::key_modify_Click()
{
    if (!m_selected)
        return;
    Decisions decisions(*this);
    SongEditForm saved;
    const bool stored = decisions.flow.save(m_current, typedForm(), &saved);
    // A name corrected in the add-singer dialog replaces the one typed.
    if (!saved.singerName.isEmpty() && saved.singerName != singer_name->text().trimmed())
        singer_name->setText(saved.singerName);
    if (!stored)
        return;
    song_build_date->setText(saved.buildDate);
    relistCurrentSong(saved.title, saved.singerName);
}

void SongModify::relistCurrentSong(const QString &title, const QString &singer)
{
    for (int i = 0; i < m_numbers.size(); ++i) {
        if (m_numbers[i] == m_current)
            List1->item(i)->setText(listEntry(m_current, title, singer));
    }
}

void SongModify::key_delete_Click()
{
    if (!m_selected)
        return;
    Decisions decisions(*this);
    if (!decisions.flow.remove(m_current))
        return;
    key_search_Click();
    clearEditFields();
}

void SongModify::clearEditFields()
{
    for (QLineEdit *box : {song_name, singer_name, song_num, song_build_date, song_location})
        box->clear();
}

void SongModify::view_file_Click()
{
    previewFile(songFilePath(m_state.AppPath, song_location->text()), song_name->text() + QStringLiteral(" 預覽"));
}

void SongModify::key_exit_Click()
{
    reject();
}
