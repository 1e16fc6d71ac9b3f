#include "menu/order_by_singer.h"

#include "core/lookups.h"
#include "core/shared_state.h"
#include "menu/song_ordering.h"
#include "widgets/drawing_surface.h"
#include "widgets/keypad_input.h"

const SingerFlowPolicy OrderBySinger::kMenuPolicy{
    .singerPage = {.rowsPerPage = 12},
    .songPage = {.rowsPerPage = 10},
    .singerNameFromBottom = 3.5,
    .leaveKey = QLatin1Char('9'),
    .typedNumberWins = false,
};

OrderBySinger::OrderBySinger(SharedState &state, DrawingSurface &screen, KeypadInput &input, QString &menuState,
                             SingerFlowPolicy policy, std::function<void()> leave)
    : m_state(state)
    , m_screen(screen)
    , m_input(input)
    , m_menuState(menuState)
    , m_policy(std::move(policy))
    , m_leave(std::move(leave))
{
}

void OrderBySinger::order_by_singer()
{
    m_menuState = QStringLiteral("2");
    clearInput(m_input);
    m_screen.ShowLines({"請輸入曲目種類", "1.女歌手", "2.男歌手", "3.團體or其它", ""});
    m_screen.Print(m_policy.leaveKey + QStringLiteral(".上一目錄"));
}

void OrderBySinger::order_by_singer_do(int &KeyAscii)
{
    if (m_menuState == QLatin1String("2_1"))
        order_by_singer_do_1(KeyAscii);
    else if (m_menuState == QLatin1String("2_2"))
        order_by_singer_do_2(KeyAscii);
    else
        chooseGroup(KeyAscii);
}

void OrderBySinger::chooseGroup(int key)
{
    // Every choice is one key; a key that means nothing is forgotten.
    const QChar choice(key);
    m_state.PageNo = 1;
    clearInput(m_input);
    if (choice == m_policy.leaveKey) {
        m_leave();
        return;
    }
    if (choice < QLatin1Char('1') || choice > QLatin1Char('3'))
        return;
    m_state.SingerSex = choice.digitValue() - 1;
    // An empty group simply shows an empty list.
    LoadSingersBySex(m_state, m_state.SingerSex);
    list_singer_page(1);
    int none = 0;
    order_by_singer_do_1(none);
}

void OrderBySinger::order_by_singer_do_1(int &KeyAscii)
{
    m_menuState = QStringLiteral("2_1");
    pagedListKey(m_input, m_state.PageNo, KeyAscii, [this] { openSinger(); },
                 [this] { list_singer_page(m_state.PageNo); });
}

void OrderBySinger::openSinger()
{
    if (m_input.InputBuffer == QLatin1String("0")) {
        order_by_singer();
        return;
    }
    if (m_input.InputBuffer.isEmpty() || (m_policy.typedNumberWins && queueTypedSong(m_state, m_input)))
        return;
    const ListRow &row = m_state.SingerList.row(inputNumber(m_input.InputBuffer).value_or(0) - 1);
    if (row.isEmpty()) {
        if (!m_policy.noSingerText.isEmpty())
            clearInput(m_input, m_policy.noSingerText);
        return;
    }
    const qint64 code = row.key.toLongLong();
    // A singer without songs: nothing happens and the digits stay.
    if (!LoadSongsBySinger(m_state, code))
        return;
    m_state.SelectedSingerName = GetSingerName(m_state, code);
    clearInput(m_input);
    SavedSingerPage = m_state.PageNo;
    m_state.PageNo = 1;
    list_singer_song_page(1);
    int none = 0;
    order_by_singer_do_2(none);
}

void OrderBySinger::order_by_singer_do_2(int &KeyAscii)
{
    m_menuState = QStringLiteral("2_2");
    pagedListKey(m_input, m_state.PageNo, KeyAscii, [this] { pickSong(); },
                 [this] { list_singer_song_page(m_state.PageNo); });
}

void OrderBySinger::pickSong()
{
    if (m_input.InputBuffer == QLatin1String("0")) {
        backToSingers();
        return;
    }
    if (m_input.InputBuffer.isEmpty() || (m_policy.typedNumberWins && queueTypedSong(m_state, m_input)))
        return;
    const qint64 position = inputNumber(m_input.InputBuffer).value_or(0);
    const auto redraw = [this] { list_singer_song_page(m_state.PageNo); };
    if (!m_policy.noSongText.isEmpty() && (position < 1 || position > m_state.SongList.capacity())) {
        redraw();
        clearInput(m_input);
        return;
    }
    orderListedSong(m_state, m_screen, m_input, position, redraw, m_policy.noSongText);
}

void OrderBySinger::backToSingers()
{
    clearInput(m_input);
    m_menuState = QStringLiteral("2_1");
    m_state.PageNo = SavedSingerPage;
    list_singer_page(m_state.PageNo);
    int none = 0;
    order_by_singer_do_1(none);
}

void OrderBySinger::list_singer_page(int page)
{
    const ResultTable &singers = m_state.SingerList;
    drawNumberedPage(m_screen, page, m_policy.singerPage, [&](qint64 p) { return singers.row(p - 1).text; });
}

void OrderBySinger::list_singer_song_page(int page)
{
    const ResultTable &songs = m_state.SongList;
    drawNumberedPage(m_screen, page, m_policy.songPage, [&](qint64 p) { return songs.row(p - 1).text; });
    printFromBottom(m_screen, m_policy.singerNameFromBottom, QStringLiteral("歌手:") + m_state.SelectedSingerName,
                    m_policy.songPage.rowsPerScreen);
}
