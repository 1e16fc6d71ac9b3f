#include "menu/queue_editing.h"

#include "core/key_translation.h"
#include "core/lookups.h"
#include "core/shared_state.h"
#include "menu/menu_context.h"
#include "menu/underlined_list.h"
#include "widgets/drawing_surface.h"

namespace {

const QString kOrderHeading = QStringLiteral("曲目點歌 選 \"0\" 可回主目錄");
const QString kDeleteHeading = QStringLiteral("刪除點歌 選 \"0\" 可回主目錄");
const QString kInsertHeading = QStringLiteral("插歌功能 選 \"0\" 可回主目錄");
const QString kInputError = QStringLiteral(" 輸入錯誤!");
const QString kQueueChanged = QStringLiteral("點歌單已變動,請重選");

} // namespace

QueueEditing::QueueEditing(MenuContext &menu)
    : m_menu(menu)
{
}

void QueueEditing::order_by_song_num()
{
    enter(QStringLiteral("3"), kOrderHeading + QLatin1Char(' '));
}

void QueueEditing::delete_song()
{
    enter(QStringLiteral("4"), kDeleteHeading);
}

void QueueEditing::intter_song()
{
    enter(QStringLiteral("5"), kInsertHeading);
}

void QueueEditing::enter(const QString &state, const QString &heading)
{
    m_menu.setKeyCaptions(QStringLiteral("上頁"), QStringLiteral("下頁"), QStringLiteral("確定"), QStringLiteral("C"));
    m_menu.MenuState = state;
    clearInput(m_menu);
    m_menu.state.PageNo = 1;
    redraw(heading);
}

void QueueEditing::redraw(const QString &heading)
{
    list_queue_page(m_menu.state.PageNo);
    m_menu.Picture1.Print(heading);
}

bool QueueEditing::commonKey(int key, const QString &heading)
{
    if (editInput(m_menu, key, true))
        return true;
    if (key == KeyCode::Enter && m_menu.InputBuffer == QLatin1String("0")) {
        m_menu.show_main_menu();
        return true;
    }
    if (turnPage(m_menu.state.PageNo, key)) {
        redraw(heading);
        return true;
    }
    return key != KeyCode::Enter;
}

void QueueEditing::order_by_song_num_do(int &KeyAscii)
{
    if (!commonKey(KeyAscii, kOrderHeading))
        orderNumber();
}

void QueueEditing::delete_song_do(int &KeyAscii)
{
    if (!commonKey(KeyAscii, kDeleteHeading))
        deleteRow();
}

void QueueEditing::intter_song_do(int &KeyAscii)
{
    if (!commonKey(KeyAscii, kInsertHeading))
        moveRowToFront();
}

void QueueEditing::orderNumber()
{
    const QString number = m_menu.InputBuffer;
    const int row = number.isEmpty() ? kSongNotFound : AddToOrderList(m_menu.state, number);
    if (row < 0) {
        clearInput(m_menu, row == kQueueFull ? kQueueFullText : QStringLiteral("沒這種歌!"));
        return;
    }
    // Jump to the page that holds the new song.
    const int rows = m_menu.state.PageRows;
    m_menu.state.PageNo = (row + 1) % rows == 0 ? (row + 1) / rows : (row + 1) / rows + 1;
    redraw(kOrderHeading);
    clearInput(m_menu, GetSongName(m_menu.state, number));
}

qint64 QueueEditing::typedRow(const QString &emptyRowMessage)
{
    const std::optional<qint64> n = inputNumber(m_menu.InputBuffer);
    // Nothing typed, or a number past the page's rows: ignored, the digits stay.
    if (!n || *n > m_menu.state.PageRows)
        return -1;
    if (*n <= 0) {
        clearInput(m_menu, kInputError);
        return -1;
    }
    if (m_shown.idOn(*n) == 0) {
        clearInput(m_menu, emptyRowMessage);
        return -1;
    }
    // The song shown under the number, wherever it is now.
    const qint64 row = m_shown.rowNow(m_menu.state.OrderedSongs, *n);
    if (row < 0) {
        clearInput(m_menu, QStringLiteral("這首歌已不在點歌單"));
        redraw(heading());
    }
    return row;
}

void QueueEditing::deleteRow()
{
    const qint64 row = typedRow(QStringLiteral("沒歌可刪!"));
    if (row < 0)
        return;
    PlayQueue &queue = m_menu.state.OrderedSongs;
    clearInput(m_menu, QStringLiteral("刪了:") + GetSongName(m_menu.state, queue.row(row).key));
    queue.removeAt(row);
    redraw(kDeleteHeading);
}

void QueueEditing::moveRowToFront()
{
    const qint64 row = typedRow(QStringLiteral("沒歌可插!"));
    if (row < 0)
        return;
    PlayQueue &queue = m_menu.state.OrderedSongs;
    const QString number = queue.row(row).key;
    queue.moveToHead(row, GetSongName(m_menu.state, number) + QStringLiteral("--插播"));
    clearInput(m_menu);
    redraw(kInsertHeading);
}

QString QueueEditing::heading() const
{
    const QString &state = m_menu.MenuState;
    if (state == QLatin1String("3"))
        return kOrderHeading;
    if (state == QLatin1String("4"))
        return kDeleteHeading;
    if (state == QLatin1String("5"))
        return kInsertHeading;
    return {};
}

void QueueEditing::queueChanged()
{
    const QString shown = heading();
    if (shown.isEmpty())
        return;
    // In deleting and cutting in the digits typed are a line of the page: when another song
    // now stands on it, they are taken back rather than left to name that song.
    const std::optional<qint64> line = m_menu.MenuState == QLatin1String("3") ? std::nullopt
                                                                              : inputNumber(m_menu.InputBuffer);
    const qint64 typedSong = line ? m_shown.idOn(*line) : 0;
    redraw(shown);
    if (line && m_shown.idOn(*line) != typedSong)
        clearInput(m_menu, kQueueChanged);
}

void QueueEditing::list_queue_page(int page)
{
    const PlayQueue &queue = m_menu.state.OrderedSongs;
    m_shown.drawn(queue, qint64(page - 1) * m_menu.state.PageRows, m_menu.state.PageRows);
    drawUnderlinedPage(m_menu.Picture1, page, m_menu.state.PageRows,
                       [&queue](qint64 index) { return queue.row(index).text; },
                       {QStringLiteral("第 %1 頁").arg(page)});
}
