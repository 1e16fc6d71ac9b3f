#include "menu/order_by_singer.h"

#include "menu/drawing_surface.h"
#include "core/key_translation.h"
#include "core/lookups.h"
#include "menu/menu_context.h"
#include "menu/menu_input.h"
#include "core/shared_state.h"

namespace {
constexpr int kSingersPerPage = 12;
constexpr int kSongsPerPage = 10;
}

OrderBySinger::OrderBySinger(MenuContext &menu)
    : m_menu(menu)
{
}

void OrderBySinger::order_by_singer()
{
    m_menu.MenuState = QStringLiteral("2");
    setEcho(m_menu, QString());
    m_menu.InputBuffer.clear();
    DrawingSurface &screen = m_menu.Picture1;
    screen.Cls();
    for (const char *line : {"請輸入曲目種類", "1.女歌手", "2.男歌手", "3.團體or其它", "", "9.上一目錄"})
        screen.Print(QString::fromUtf8(line));
}

void OrderBySinger::order_by_singer_do(int &KeyAscii)
{
    if (m_menu.MenuState == QLatin1String("2_1")) {
        order_by_singer_do_1(KeyAscii);
        return;
    }
    if (m_menu.MenuState == QLatin1String("2_2")) {
        order_by_singer_do_2(KeyAscii);
        return;
    }
    if (KeyAscii != 0)
        m_menu.InputBuffer += QChar(KeyAscii);
    m_menu.state.PageNo = 1;
    setEcho(m_menu, QString());
    const QString choice = m_menu.InputBuffer;
    if (choice == QLatin1String("1") || choice == QLatin1String("2") || choice == QLatin1String("3")) {
        m_menu.state.SingerSex = choice.toInt() - 1;
        // An empty group simply shows an empty list.
        LoadSingersBySex(m_menu.state, m_menu.state.SingerSex);
        list_singer_page(1);
        m_menu.InputBuffer.clear();
        int none = 0;
        order_by_singer_do_1(none);
    } else if (choice == QLatin1String("9")) {
        m_menu.show_main_menu();
    } else {
        m_menu.InputBuffer.clear();
    }
}

void OrderBySinger::order_by_singer_do_1(int &KeyAscii)
{
    m_menu.MenuState = QStringLiteral("2_1");
    if (KeyAscii == 0 || editInput(m_menu, KeyAscii))
        return;
    if (KeyAscii == KeyCode::Enter) {
        openSinger();
    } else if (turnPage(m_menu, KeyAscii)) {
        list_singer_page(m_menu.state.PageNo);
    }
}

void OrderBySinger::openSinger()
{
    if (m_menu.InputBuffer == QLatin1String("0")) {
        order_by_singer();
        return;
    }
    const std::optional<qint64> position = inputNumber(m_menu.InputBuffer);
    if (!position)
        return;
    const ListRow &row = m_menu.state.SingerList.row(*position - 1);
    // An empty row, or a singer without songs: nothing happens and the digits stay.
    if (row.isEmpty() || !LoadSongsBySinger(m_menu.state, row.key.toLongLong()))
        return;
    m_menu.state.SelectedSingerName = GetSingerName(m_menu.state, row.key.toLongLong());
    m_menu.InputBuffer.clear();
    setEcho(m_menu, QString());
    m_menu.SavedSingerPage = m_menu.state.PageNo;
    m_menu.state.PageNo = 1;
    list_singer_song_page(1);
    int none = 0;
    order_by_singer_do_2(none);
}

void OrderBySinger::order_by_singer_do_2(int &KeyAscii)
{
    m_menu.MenuState = QStringLiteral("2_2");
    if (KeyAscii == 0 || editInput(m_menu, KeyAscii))
        return;
    if (KeyAscii == KeyCode::Enter) {
        pickSong();
    } else if (turnPage(m_menu, KeyAscii)) {
        list_singer_song_page(m_menu.state.PageNo);
    }
}

void OrderBySinger::pickSong()
{
    if (m_menu.InputBuffer == QLatin1String("0")) {
        // Back to the singer page the guest came from.
        setEcho(m_menu, QString());
        m_menu.InputBuffer.clear();
        m_menu.MenuState = QStringLiteral("2_1");
        m_menu.state.PageNo = m_menu.SavedSingerPage;
        list_singer_page(m_menu.state.PageNo);
        int none = 0;
        order_by_singer_do_1(none);
        return;
    }
    const std::optional<qint64> position = inputNumber(m_menu.InputBuffer);
    if (!position)
        return;
    orderListedSong(m_menu, *position, [this] { list_singer_song_page(m_menu.state.PageNo); });
}

void OrderBySinger::list_singer_page(int page)
{
    const ResultTable &singers = m_menu.state.SingerList;
    drawNumberedPage(m_menu.Picture1, page, kSingersPerPage, [&](qint64 p) { return singers.row(p - 1).text; });
}

void OrderBySinger::list_singer_song_page(int page)
{
    const ResultTable &songs = m_menu.state.SongList;
    drawNumberedPage(m_menu.Picture1, page, kSongsPerPage, [&](qint64 p) { return songs.row(p - 1).text; });
    printFromBottom(m_menu.Picture1, 3.5, QStringLiteral("歌手:") + m_menu.state.SelectedSingerName);
}
