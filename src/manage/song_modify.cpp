#include "manage/song_modify.h"

#include "core/database.h"
#include "core/lookups.h"
#include "core/scoped_transaction.h"
#include "core/shared_state.h"
#include "manage/add_singer_dialog.h"
#include "core/build_date.h"
#include "core/like_pattern.h"
#include "manage/media_file_removal.h"
#include "manage/singer_choice_dialog.h"
#include "manage/song_records.h"
#include "platform/message_boxes.h"
#include "platform/services.h"
#include "playback/small_view.h"
#include "platform/modal_runner.h"

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
    // Either fragment matches anywhere; a typed "%" or "_" is itself. The title fragment also
    // finds numbers, as its label says. The songs are read straight through the table: walking
    // an index in list order would fetch every row of the catalogue one by one, many times
    // slower than sorting the few that match.
    const QString title = likeFragment(keyword_song->text());
    QStringList entries;
    bool more = false;
    m_state.db().forEachRow(
        QStringLiteral("SELECT song_num, song_name, singer_name FROM song AS b NOT INDEXED INNER JOIN singer AS a "
                       "ON a.singer_code = b.song_singer_code WHERE (song_name LIKE ?1")
            + kLikeEscape + QStringLiteral(" OR song_num LIKE ?1") + kLikeEscape
            + QStringLiteral(") AND singer_name LIKE ?2") + kLikeEscape
            + QStringLiteral(" ORDER BY song_text_count, song_name"),
        {title, likeFragment(keyword_singer->text().trimmed())}, [&](const RowView &row) {
            if (m_numbers.size() == kListRows) {
                more = true;
                return false;
            }
            m_numbers.append(row.text(0));
            entries.append(listEntry(row.text(0), row.text(1), row.text(2)));
            return true;
        });
    List1->addItems(entries);
    if (more)
        m_services.messageBoxes.ok(QStringLiteral("符合的歌曲超過%1首, 只列出前%1首; 請輸入更多的搜尋條件").arg(kListRows));
}

void SongModify::List1_Click()
{
    const int row = List1->currentRow();
    if (row < 0 || row >= m_numbers.size())
        return;
    Recordset rs = m_state.db().OpenRecordset(QStringLiteral("SELECT * FROM song WHERE song_num = ?"), {m_numbers[row]}, 1);
    if (rs.eof()) {
        m_services.messageBoxes.ok(kNotFoundText + m_numbers[row]);
        return;
    }
    m_current = m_numbers[row];
    m_selected = true;
    song_name->setText(rs.text(QStringLiteral("song_name")));
    const int kind = rs.field(QStringLiteral("song_kind")).toInt();
    song_kind->setCurrentIndex(kind >= 0 && kind < song_kind->count() ? kind : -1);
    showCount(rs.field(QStringLiteral("song_text_count")).toInt());
    song_location->setText(rs.text(QStringLiteral("song_location")));
    singer_name->setText(GetSingerName(m_state, rs.field(QStringLiteral("song_singer_code")).toLongLong()));
    song_num->setText(m_current);
    const QString date = rs.text(QStringLiteral("song_build_date"));
    song_build_date->setText(buildDateText(date).value_or(date));
    Timer1_Timer();
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

bool SongModify::editAcceptable(QString *date)
{
    MessageBoxes &boxes = m_services.messageBoxes;
    const std::optional<QString> typed = buildDateText(song_build_date->text());
    if (!typed) {
        boxes.ok(QStringLiteral("請指定好日期"));
        return false;
    }
    if (song_name->text().isEmpty()) {
        boxes.ok(QStringLiteral("請輸入正確的曲目名"));
        return false;
    }
    if (song_kind->currentIndex() < 0 || song_text_count->currentIndex() < 0) {
        boxes.ok(QStringLiteral("請選好曲目種類及字數"));
        return false;
    }
    *date = *typed;
    return true;
}

void SongModify::key_modify_Click()
{
    QString date;
    if (!m_selected || !editAcceptable(&date))
        return;
    Database &db = m_state.db();
    Recordset rs = db.OpenRecordset(QStringLiteral("SELECT * FROM song WHERE song_num = ?"), {m_current}, 1);
    if (rs.eof()) {
        m_services.messageBoxes.ok(kNotFoundText + m_current);
        return;
    }
    // The number itself is never changed here.
    if (rs.text(QStringLiteral("song_num")) != song_num->text()) {
        m_services.messageBoxes.ok(
            rs.text(QStringLiteral("song_name")) + QStringLiteral("與編號") + rs.text(QStringLiteral("song_num"))
            + QLatin1Char(',') + GetSingerName(m_state, rs.field(QStringLiteral("song_singer_code")).toLongLong())
            + QStringLiteral(",同一曲名. 請修改後再存一次!!"));
        return;
    }
    const std::optional<qint64> singer =
        AddSingerDialog::findOrAddFromBox(m_state, m_services, m_screen, singer_name, this);
    if (!singer)
        return;
    ScopedTransaction transaction(db);
    db.ExecuteSql(QStringLiteral("UPDATE song SET song_kind = ?, song_name = ?, song_text_count = ?, song_singer_code = ?, "
                                 "song_build_date = ?, song_location = ? WHERE song_num = ?"),
                  {song_kind->currentIndex(), song_name->text(), song_text_count->currentText().toInt(), *singer, date,
                   song_location->text().trimmed(), m_current});
    transaction.commit();
    song_build_date->setText(date);
    relistCurrentSong(song_name->text(), GetSingerName(m_state, *singer));
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
    MessageBoxes &boxes = m_services.messageBoxes;
    const QString question = QStringLiteral("是否要刪除編號") + m_current + QLatin1Char(',') + GetSongName(m_state, m_current);
    if (!boxes.yesNo(question + QStringLiteral(",這首歌?")))
        return;
    const bool withFile = boxes.yesNo(question + QStringLiteral(",這首歌的檔?"));
    const QString location = GetSongLocation(m_state, m_current);
    const QString number = m_current;
    // The rows go first: if they cannot, the file stays too.
    deleteSong(m_state.db(), number);
    if (withFile && location != kNotFoundText + number)
        removeMediaFile(m_state, m_services, location.trimmed(), number);
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
    SmallView view(m_services.mediaPlayers, m_screen, this);
    view.setWindowTitle(song_name->text() + QStringLiteral(" 預覽"));
    view.setFilePath(song_location->text().trimmed());
    ModalRunner::exec(view);
}

void SongModify::key_exit_Click()
{
    reject();
}
