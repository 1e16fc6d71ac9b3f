#include "overlays/small_order_by_singer.h"

#include "core/key_translation.h"
#include "core/lookups.h"
#include "core/shared_state.h"
#include "menu/drawing_surface.h"
#include "menu/menu_input.h"

namespace {

const KeypadLayout kLayout{0.16, 15, 13, QStringLiteral("上頁"), QStringLiteral("下頁"), 0.54,
                           QStringLiteral("0回主選單"), true};

// Seven list rows fill the height of the list; the page line sits in the last two.
constexpr double kRowsPerScreen = 7;
const NumberedRows kSingerRows{5, 2, kRowsPerScreen};
const NumberedRows kSongRows{4, 2, kRowsPerScreen};

QString pageLine(int page)
{
    return QStringLiteral("  第 %1 頁").arg(page);
}

} // namespace

SmallOrderBySinger::SmallOrderBySinger(PlaybackSession &session, SharedState &state, QSize screen, QWidget *parent)
    : KeypadWindow(session, state, screen, kLayout, parent)
{
    setObjectName(QStringLiteral("small_order_by_singer"));
}

void SmallOrderBySinger::activated()
{
    m_state.PageNo = 1;
    m_menu.SavedSingerPage = 1;
    order_by_singer();
}

void SmallOrderBySinger::order_by_singer()
{
    m_menu.MenuState = QStringLiteral("2");
    setEcho(m_menu, QString());
    m_menu.InputBuffer.clear();
    Picture1->Cls();
    for (const char *line : {"請輸入曲目種類", "1.女歌手", "2.男歌手", "3.團體or其它", "", "0.上一目錄"})
        Picture1->Print(QString::fromUtf8(line));
}

void SmallOrderBySinger::order_by_singer_do(int &KeyAscii)
{
    if (m_menu.MenuState == QLatin1String("2_1"))
        order_by_singer_do_1(KeyAscii);
    else if (m_menu.MenuState == QLatin1String("2_2"))
        order_by_singer_do_2(KeyAscii);
    else
        chooseGroup(KeyAscii);
}

void SmallOrderBySinger::chooseGroup(int key)
{
    // Whatever the key, it joins the choice; a choice that means nothing is forgotten.
    m_menu.InputBuffer += QChar(key);
    m_state.PageNo = 1;
    setEcho(m_menu, QString());
    const QString choice = m_menu.InputBuffer;
    if (choice == QLatin1String("0")) {
        leave();
        return;
    }
    m_menu.InputBuffer.clear();
    if (choice != QLatin1String("1") && choice != QLatin1String("2") && choice != QLatin1String("3"))
        return;
    m_state.SingerSex = choice.toInt() - 1;
    // An empty group simply shows an empty list.
    LoadSingersBySex(m_state, m_state.SingerSex);
    list_singer_page(1);
    int none = 0;
    order_by_singer_do_1(none);
}

void SmallOrderBySinger::order_by_singer_do_1(int &KeyAscii)
{
    m_menu.MenuState = QStringLiteral("2_1");
    if (KeyAscii == 0 || editInput(m_menu, KeyAscii))
        return;
    if (KeyAscii == KeyCode::Enter)
        openSinger();
    else if (turnPage(m_menu, KeyAscii))
        list_singer_page(m_state.PageNo);
}

void SmallOrderBySinger::openSinger()
{
    if (m_menu.InputBuffer == QLatin1String("0")) {
        order_by_singer();
        return;
    }
    if (queueTypedSong() || m_menu.InputBuffer.isEmpty())
        return;
    const std::optional<qint64> position = inputNumber(m_menu.InputBuffer);
    const ListRow &row = m_state.SingerList.row(position.value_or(0) - 1);
    if (row.isEmpty()) {
        m_menu.InputBuffer.clear();
        setEcho(m_menu, QStringLiteral("沒這種人!"));
        return;
    }
    const qint64 code = row.key.toLongLong();
    // A singer without songs: nothing happens and the digits stay.
    if (!LoadSongsBySinger(m_state, code))
        return;
    m_state.SelectedSingerName = GetSingerName(m_state, code);
    m_menu.InputBuffer.clear();
    setEcho(m_menu, QString());
    m_menu.SavedSingerPage = m_state.PageNo;
    m_state.PageNo = 1;
    list_singer_song_page(1);
    int none = 0;
    order_by_singer_do_2(none);
}

void SmallOrderBySinger::order_by_singer_do_2(int &KeyAscii)
{
    m_menu.MenuState = QStringLiteral("2_2");
    if (KeyAscii == 0 || editInput(m_menu, KeyAscii))
        return;
    if (KeyAscii == KeyCode::Enter)
        pickSong();
    else if (turnPage(m_menu, KeyAscii))
        list_singer_song_page(m_state.PageNo);
}

void SmallOrderBySinger::pickSong()
{
    if (m_menu.InputBuffer.isEmpty())
        return;
    if (m_menu.InputBuffer == QLatin1String("0")) {
        backToSingers();
        return;
    }
    if (queueTypedSong())
        return;
    const qint64 position = inputNumber(m_menu.InputBuffer).value_or(0);
    if (position < 1 || position > m_state.SongList.capacity()) {
        // No position of any list: the page is drawn again and the digits go, without a word.
        list_singer_song_page(m_state.PageNo);
        m_menu.InputBuffer.clear();
        setEcho(m_menu, QString());
        return;
    }
    orderListedSong(m_menu, position, [this] { list_singer_song_page(m_state.PageNo); },
                    QStringLiteral("沒這種歌!"));
}

void SmallOrderBySinger::backToSingers()
{
    setEcho(m_menu, QString());
    m_menu.InputBuffer.clear();
    m_menu.MenuState = QStringLiteral("2_1");
    m_state.PageNo = m_menu.SavedSingerPage;
    list_singer_page(m_state.PageNo);
    int none = 0;
    order_by_singer_do_1(none);
}

void SmallOrderBySinger::list_singer_page(int page)
{
    const ResultTable &singers = m_state.SingerList;
    drawNumberedRows(*Picture1, page, kSingerRows, [&](qint64 p) { return singers.row(p - 1).text; });
    printFromBottom(*Picture1, 1.3, pageLine(page), kRowsPerScreen);
}

void SmallOrderBySinger::list_singer_song_page(int page)
{
    const ResultTable &songs = m_state.SongList;
    drawNumberedRows(*Picture1, page, kSongRows, [&](qint64 p) { return songs.row(p - 1).text; });
    printFromBottom(*Picture1, 0.8, pageLine(page), kRowsPerScreen);
    printFromBottom(*Picture1, 2.8, QStringLiteral("歌手:") + m_state.SelectedSingerName, kRowsPerScreen);
}
