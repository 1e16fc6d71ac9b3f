#include "manage/song_add.h"

#include "core/shared_state.h"
#include "manage/add_singer_dialog.h"
#include "manage/duplicate_title_dialog.h"
#include "manage/singer_choice_dialog.h"
#include "manage/song_add_flow.h"
#include "platform/services.h"
#include "platform/modal_runner.h"

#include <QComboBox>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {
constexpr int kLabelWidth = 110;
constexpr int kFieldX = 135;
} // namespace

// The owner decides in the add-singer dialog and the duplicate-title window.
class SongAdd::Decisions : public SongAddDecisions
{
public:
    explicit Decisions(SongAdd &window)
        : m_window(window)
        , m_singers(AddSingerDialog::Variant::singer_add, window.m_state, window.m_services, window.m_screen, &window)
    {
    }
    std::optional<QString> addSinger(const QString &name) override { return m_singers.addSinger(name); }
    void resolveSimilarTitle(const NewSong &song, const QString &number) override
    {
        DuplicateTitleDialog same(DuplicateTitleDialog::Variant::song_add_same, song, number, m_window.m_state,
                                  m_window.m_services, m_window.m_screen, &m_window);
        ModalRunner::exec(same);
    }

private:
    SongAdd &m_window;
    AddSingerAsker m_singers;
};

SongAdd::SongAdd(SharedState &state, Services &services, QSize screen, QWidget *parent)
    : ManagerDialog(state, services, screen, QStringLiteral("Song_Add"), QStringLiteral("新增歌曲"), QSize(600, 390),
                    parent)
{
    createControls();
    initialise();
    fitToScreen(0.7);
    centreOnScreen();
}

void SongAdd::createControls()
{
    addLabel(this, QStringLiteral("Label1"), QStringLiteral("曲目種類"), QRect(20, 20, kLabelWidth, 30));
    song_kind = addList(this, QStringLiteral("song_kind"), songKindEntries(), QRect(kFieldX, 20, 200, 30));
    addLabel(this, QStringLiteral("Label2"), QStringLiteral("字數"), QRect(20, 60, kLabelWidth, 30));
    song_text_count = addList(this, QStringLiteral("song_text_count"), textCountEntries(), QRect(kFieldX, 60, 100, 30));
    lb_song_code = addLabel(this, QStringLiteral("lb_song_code"), QStringLiteral("曲目編號"), QRect(20, 100, kLabelWidth, 30));
    song_code = addTextBox(this, QStringLiteral("song_code"), QRect(kFieldX, 100, 200, 30));
    song_build_date = addLabelledTextBox(this, QStringLiteral("Label3"), QStringLiteral("建檔日期"),
                                         QStringLiteral("song_build_date"), 20, 140, kLabelWidth, 200);
    lb_date_struct = addLabel(this, QStringLiteral("lb_date_struct"), QString(), QRect(345, 132, 245, 46));
    song_name = addLabelledTextBox(this, QStringLiteral("Label4"), QStringLiteral("曲目名"), QStringLiteral("song_name"),
                                   20, 190, kLabelWidth, 445);
    singer_name = addLabelledTextBox(this, QStringLiteral("Label5"), QStringLiteral("演唱者"),
                                     QStringLiteral("singer_name"), 20, 230, kLabelWidth, 335);
    check_singr_name = addButton(this, QStringLiteral("check_singr_name"), QStringLiteral("選擇"),
                                 QRect(480, 230, 100, 30), [this] { check_singr_name_Click(); });
    song_location = addLabelledTextBox(this, QStringLiteral("Label6"), QStringLiteral("檔案位置"),
                                       QStringLiteral("song_location"), 20, 270, kLabelWidth, 335);
    Command1 = addButton(this, QStringLiteral("Command1"), QStringLiteral("瀏覽"), QRect(480, 270, 100, 30),
                         [this] { Command1_Click(); });
    add_do = addButton(this, QStringLiteral("add_do"), QStringLiteral("存"), QRect(kFieldX, 325, 150, 42),
                       [this] { add_do_Click(); });
    forget_it = addButton(this, QStringLiteral("forget_it"), QStringLiteral("算了"), QRect(315, 325, 150, 42),
                          [this] { forget_it_Click(); });

    for (QWidget *w : {static_cast<QWidget *>(song_kind), static_cast<QWidget *>(song_text_count),
                       static_cast<QWidget *>(song_code)})
        w->installEventFilter(this);
    connect(song_kind, &QComboBox::currentIndexChanged, this, [this] { m_kindChosen = !m_initialising; });
    connect(song_text_count, &QComboBox::currentIndexChanged, this, [this] { m_countChosen = !m_initialising; });
    connect(song_location, &QLineEdit::returnPressed, this, [this] {
        if (!song_location->text().isEmpty())
            guarded([this] { add_do_Click(); });
    });
}

void SongAdd::initialise()
{
    m_initialising = true;
    const QString today = todayText(m_services);
    song_build_date->setText(today);
    song_kind->setCurrentIndex(-1);
    song_text_count->setCurrentIndex(-1);
    lb_date_struct->setText(QStringLiteral("YYYY/MM/DD\r\nex:今天就設成:") + today);
    m_kindChosen = false;
    m_countChosen = false;
    m_initialising = false;
    setNumberEnabled(false);
    song_code->clear();
}

void SongAdd::setNumberEnabled(bool on)
{
    lb_song_code->setEnabled(on);
    song_code->setEnabled(on);
}

bool SongAdd::eventFilter(QObject *watched, QEvent *event)
{
    // Opening a list's drop-down is not leaving the list.
    if (event->type() == QEvent::FocusOut && (watched == song_kind || watched == song_text_count)
        && static_cast<QFocusEvent *>(event)->reason() != Qt::PopupFocusReason)
        guarded([this] { song_kind_LostFocus(); });
    // The number is proposed, never typed: the focus passes on to the title.
    if (event->type() == QEvent::FocusIn && watched == song_code)
        song_name->setFocus();
    return ManagerDialog::eventFilter(watched, event);
}

void SongAdd::song_kind_LostFocus()
{
    const bool both = m_kindChosen && m_countChosen && song_kind->currentIndex() >= 0
        && song_text_count->currentIndex() >= 0;
    setNumberEnabled(both);
    Decisions decisions(*this);
    SongAddFlow flow(m_state, m_services.fileSystem, m_services.messageBoxes, decisions);
    song_code->setText(both ? flow.proposedNumber(song_kind->currentIndex(), song_text_count->currentText().toInt())
                            : QString());
}

void SongAdd::Command1_Click()
{
    chooseFileInto(song_location);
}

void SongAdd::check_singr_name_Click()
{
    SingerChoiceDialog::chooseInto(SingerChoiceDialog::Variant::song_add_check_singer_name, m_state, m_services, m_screen,
                                   singer_name, this);
}

void SongAdd::add_do_Click()
{
    const SongAddForm form{song_build_date->text(),
                           song_kind->currentIndex(),
                           song_text_count->currentIndex() < 0 ? -1 : song_text_count->currentText().toInt(),
                           song_code->text(),
                           song_name->text(),
                           singer_name->text(),
                           song_location->text()};
    Decisions decisions(*this);
    SongAddFlow flow(m_state, m_services.fileSystem, m_services.messageBoxes, decisions);
    QString singer;
    const SongAddFlow::Outcome outcome = flow.save(form, &singer);
    // A name corrected in the add-singer dialog replaces the one typed.
    if (!singer.isEmpty() && singer != singer_name->text().trimmed())
        singer_name->setText(singer);
    if (outcome != SongAddFlow::Outcome::Refused)
        readyForNextSong();
}

// After a song is stored or handed over: lists, number, date and title start again; the
// singer and the file stay for the next song of the same singer or folder.
void SongAdd::readyForNextSong()
{
    initialise();
    song_name->clear();
    song_kind->setFocus();
}

void SongAdd::forget_it_Click()
{
    reject();
}
