#include "menu/order_by_text_count.h"

#include "core/key_translation.h"
#include "core/lookups.h"
#include "core/shared_state.h"
#include "menu/menu_context.h"
#include "menu/numbered_list.h"
#include "menu/song_ordering.h"
#include "widgets/drawing_surface.h"

namespace {
constexpr int kRowsPerPage = 10;
}

OrderByTextCount::OrderByTextCount(MenuContext &menu)
    : m_menu(menu)
{
}

void OrderByTextCount::order_by_text_count()
{
    m_menu.MenuState = QStringLiteral("1");
    clearInput(m_menu);
    m_menu.Picture1.ShowLines({"請輸入曲目種類", "0.台語", "1.國語", "2.客語", "3.英語", "4.日語", "5.兒歌", "6.其它", "",
                               "9.上一目錄"});
}

void OrderByTextCount::order_by_text_count_do(int &KeyAscii)
{
    if (m_menu.MenuState == QLatin1String("1_1")) {
        order_by_text_count_do_1(KeyAscii);
        return;
    }
    if (m_menu.MenuState == QLatin1String("1_2")) {
        order_by_text_count_do_2(KeyAscii);
        return;
    }
    if (isKeypadKey(KeyAscii))
        m_menu.InputBuffer += QChar(KeyAscii);
    setEcho(m_menu, QString());
    const QString &choice = m_menu.InputBuffer;
    // Kind 7 is accepted from the keypad although the screen does not list it.
    if (choice.size() == 1 && choice[0] >= QLatin1Char('0') && choice[0] <= QLatin1Char('7')) {
        m_menu.state.SelectedKind = choice[0].digitValue();
        int none = 0;
        order_by_text_count_do_1(none);
    } else if (choice == QLatin1String("9")) {
        m_menu.MenuState = QStringLiteral("0");
        m_menu.InputBuffer.clear();
        m_menu.show_main_menu();
    } else {
        m_menu.InputBuffer.clear();
    }
}

void OrderByTextCount::order_by_text_count_do_1(int &KeyAscii)
{
    m_menu.MenuState = QStringLiteral("1_1");
    if (KeyAscii == 0) {
        DrawingSurface &screen = m_menu.Picture1;
        screen.Cls();
        screen.Print(QStringLiteral("請輸入您所想要瀏覽的 "));
        screen.Print(m_menu.state.SongKindNames.value(m_menu.state.SelectedKind) + QStringLiteral(" 歌的字數,"));
        screen.Print(QStringLiteral("然後再按確定開始選歌.."));
        screen.Print();
        screen.Print(QStringLiteral("選\"0\"可回主目錄...%1").arg(KeyAscii));
        clearInput(m_menu);
        return;
    }
    if (editInput(m_menu, KeyAscii))
        return;
    if (KeyAscii == KeyCode::Enter)
        searchCount();
}

void OrderByTextCount::searchCount()
{
    const std::optional<qint64> count = inputNumber(m_menu.InputBuffer);
    if (!count)
        return;
    if (m_menu.InputBuffer == QLatin1String("0")) {
        m_menu.show_main_menu();
        return;
    }
    // Any count of ten or more lists every title of ten characters or more.
    const int asked = int(qMin<qint64>(*count, 10));
    if (!LoadSongsByKindAndCount(m_menu.state, m_menu.state.SelectedKind, asked)) {
        clearInput(m_menu, QStringLiteral("沒有這種組合!!"));
        return;
    }
    clearInput(m_menu);
    m_menu.state.PageNo = 1;
    list_count_song_page(1);
    int none = 0;
    order_by_text_count_do_2(none);
}

void OrderByTextCount::order_by_text_count_do_2(int &KeyAscii)
{
    m_menu.MenuState = QStringLiteral("1_2");
    pagedListKey(m_menu, m_menu.state.PageNo, KeyAscii, [this] { pickSong(); },
                 [this] { list_count_song_page(m_menu.state.PageNo); });
}

void OrderByTextCount::pickSong()
{
    const std::optional<qint64> position = inputNumber(m_menu.InputBuffer);
    if (!position)
        return;
    if (m_menu.InputBuffer == QLatin1String("0")) {
        order_by_text_count();
        return;
    }
    orderListedSong(m_menu.state, m_menu.Picture1, m_menu, *position,
                    [this] { list_count_song_page(m_menu.state.PageNo); });
}

void OrderByTextCount::list_count_song_page(int page)
{
    const ResultTable &songs = m_menu.state.SongList;
    drawNumberedPage(m_menu.Picture1, page, {.rowsPerPage = kRowsPerPage},
                     [&](qint64 p) { return songs.row(p - 1).text; });
    printFromBottom(m_menu.Picture1, 3.5,
                    m_menu.state.SongKindNames.value(m_menu.state.SelectedKind) + QStringLiteral(" 類"));
}
