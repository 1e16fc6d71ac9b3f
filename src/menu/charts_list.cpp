#include "menu/charts_list.h"

#include "core/database_error.h"
#include "core/play_history.h"
#include "core/shared_state.h"
#include "menu/menu_context.h"
#include "menu/numbered_list.h"
#include "menu/song_ordering.h"
#include "widgets/drawing_surface.h"
#include "core/key_translation.h"

#include <QDateTime>

namespace {
constexpr int kRowsPerPage = 10;
}

ChartsList::ChartsList(MenuContext &menu)
    : m_menu(menu)
{
}

bool ChartsList::shown() const
{
    try {
        return PlayHistory::anySung(m_menu.state.db());
    } catch (const DatabaseError &) {
        return false;
    }
}

void ChartsList::open()
{
    m_menu.MenuState = QStringLiteral("9");
    m_allTime = false;
    clearInput(m_menu);
    load();
}

void ChartsList::load()
{
    const std::optional<qint64> since =
        m_allTime ? std::nullopt
                  : std::optional(QDateTime::currentSecsSinceEpoch() - qint64(PlayHistory::kChartDays) * 86400);
    ResultTable &list = m_menu.state.SongList;
    list.clear();
    for (const ChartRow &row : PlayHistory::chart(m_menu.state.db(), since, PlayHistory::kChartLength, true))
        list.append({row.songNum, row.title + QStringLiteral("--") + row.singer});
    m_menu.state.PageNo = 1;
    drawPage();
}

void ChartsList::charts_do(int &KeyAscii)
{
    if (KeyAscii == KeyCode::Multiply) {
        m_allTime = !m_allTime;
        clearInput(m_menu);
        load();
        return;
    }
    pagedListKey(m_menu, m_menu.state.PageNo, KeyAscii, [this] { pickSong(); }, [this] { drawPage(); });
}

void ChartsList::pickSong()
{
    const std::optional<qint64> position = inputNumber(m_menu.InputBuffer);
    if (!position)
        return;
    if (m_menu.InputBuffer == QLatin1String("0")) {
        m_menu.show_main_menu();
        return;
    }
    orderListedSong(m_menu.state, m_menu.Picture1, m_menu, *position, [this] { drawPage(); });
}

void ChartsList::drawPage()
{
    const ResultTable &songs = m_menu.state.SongList;
    drawNumberedPage(m_menu.Picture1, m_menu.state.PageNo, {.rowsPerPage = kRowsPerPage},
                     [&](qint64 p) { return songs.row(p - 1).text; });
    printFromBottom(m_menu.Picture1, 3.5,
                    m_allTime ? QStringLiteral("熱門排行 全部 (按\"*\"看最近 30 天)")
                              : QStringLiteral("熱門排行 最近 30 天 (按\"*\"看全部)"));
}
