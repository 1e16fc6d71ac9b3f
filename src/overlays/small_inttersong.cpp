#include "overlays/small_inttersong.h"

#include "core/key_translation.h"
#include "core/lookups.h"
#include "core/shared_state.h"
#include "menu/song_ordering.h"
#include "playback/playback_session.h"
#include "widgets/drawing_surface.h"

namespace {

const KeypadLayout kLayout{0.16, 15, 13, QStringLiteral("上頁"), QStringLiteral("下頁"), 0.54,
                           QStringLiteral("選\"0\"離開"), true};

// The row a moved song goes to: after the song playing and the one already next.
constexpr qint64 kCutInRow = 2;
// Enough pages for a full queue.
constexpr int kLastPage = (PlayQueue::kCapacity + SmallInttersong::kRowsPerPage - 1) / SmallInttersong::kRowsPerPage;

} // namespace

SmallInttersong::SmallInttersong(PlaybackSession &session, SharedState &state, QSize screen, QWidget *parent)
    : KeypadWindow(session, state, screen, kLayout, parent)
{
    setObjectName(QStringLiteral("small_inttersong"));
    // The list follows the queue as songs end underneath.
    connect(&m_session, &PlaybackSession::queueAdvanced, this, [this] {
        if (m_state.InsertWindowOpen && isVisible())
            followQueue();
    });
}

void SmallInttersong::activated()
{
    m_state.PageNo = 1;
    m_state.InsertWindowOpen = true;
    show_order_menu(m_state.PageNo);
}

void SmallInttersong::hideEvent(QHideEvent *event)
{
    m_state.InsertWindowOpen = false;
    KeypadWindow::hideEvent(event);
}

// Draws the page again; a line typed whose song changed is taken back, so that Enter never
// acts on a song that moved into it.
void SmallInttersong::followQueue()
{
    const std::optional<qint64> line = inputNumber(m_input.InputBuffer);
    const qint64 typedSong = line ? m_shown.idOn(*line) : 0;
    show_order_menu(m_state.PageNo);
    if (typedSong != 0 && m_shown.idOn(*line) != typedSong)
        clearInput(m_input, QStringLiteral("點歌單已變動,請重選"));
}

void SmallInttersong::show_order_menu(int page)
{
    DrawingSurface &surface = *Picture1;
    surface.Cls();
    m_shown.drawn(m_state.OrderedSongs, qint64(page - 1) * kRowsPerPage, kRowsPerPage);
    const double r = surface.ScaleHeight() / (kRowsPerPage + 2);
    const double column = surface.fontMetrics().horizontalAdvance(QLatin1Char('0'));
    for (int i = 1; i <= kRowsPerPage; ++i) {
        const double y = r * i + 1;
        surface.CurrentX = 10;
        surface.CurrentY = y - 0.75 * r;
        surface.PrintOnSameLine(QString::number(i));
        const ListRow &row = m_state.OrderedSongs.row(qint64(page - 1) * kRowsPerPage + i - 1);
        if (row.isEmpty())
            continue;
        surface.CurrentX = 4 * column;
        surface.PrintOnSameLine(row.text);
    }
    surface.CurrentX = 5 * column;
    surface.CurrentY = r * (kRowsPerPage + 1) + 1 - 0.8 * r;
    surface.Print(QStringLiteral("第 %1 頁").arg(page));
    surface.Print(QStringLiteral("插播功能"));
}

void SmallInttersong::keyPress(int key)
{
    if (editInput(m_input, key, true))
        return;
    if (key == KeyCode::Minus || key == KeyCode::Plus) {
        // The page is drawn again even when it cannot turn.
        turnPage(m_state.PageNo, key, kLastPage);
        show_order_menu(m_state.PageNo);
        return;
    }
    if (key == KeyCode::Enter)
        enterTyped();
}

void SmallInttersong::enterTyped()
{
    const QString &typed = m_input.InputBuffer;
    if (typed.isEmpty())
        return;
    if (typed == QLatin1String("0")) {
        m_state.InsertWindowOpen = false;
        leave();
        return;
    }
    // A catalogue number wins over a line of the page.
    if (queueTypedSong(m_state, m_input)) {
        show_order_menu(m_state.PageNo);
        return;
    }
    // Digits too many for the integers are no line of the page either.
    const qint64 line = inputNumber(typed).value_or(kRowsPerPage + 1);
    if (line > kRowsPerPage) {
        clearInput(m_input, QStringLiteral("沒這種歌!"));
        return;
    }
    if (line <= 0) {
        clearInput(m_input, QStringLiteral("輸入錯誤"));
        return;
    }
    if (m_shown.idOn(line) == 0) {
        clearInput(m_input, QStringLiteral("沒歌可插!"));
        return;
    }
    // The song shown on the line, wherever a phone's change has put it since.
    const qint64 row = m_shown.rowNow(m_state.OrderedSongs, line);
    if (row < 0) {
        clearInput(m_input, QStringLiteral("這首歌已不在點歌單"));
        show_order_menu(m_state.PageNo);
        return;
    }
    if (row < kCutInRow) {
        clearInput(m_input, QStringLiteral("這種歌不用插播了啦!"));
        return;
    }
    cutIn(row);
}

void SmallInttersong::cutIn(qint64 row)
{
    PlayQueue &queue = m_state.OrderedSongs;
    const QString number = queue.row(row).key;
    queue.moveForward(row, kCutInRow, GetSongName(m_state, number) + QStringLiteral("--插播"));
    clearInput(m_input);
    show_order_menu(m_state.PageNo);
}
