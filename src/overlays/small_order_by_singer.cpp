#include "overlays/small_order_by_singer.h"

#include "core/shared_state.h"

namespace {

const KeypadLayout kLayout{0.16, 15, 13, QStringLiteral("上頁"), QStringLiteral("下頁"), 0.54,
                           QStringLiteral("0回主選單"), true};

// Seven list rows fill the height of the list; the page line sits in the last two.
constexpr double kRowsPerScreen = 7;

const SingerFlowPolicy kInSongPolicy{
    .singerPage = {.rowsPerPage = 5, .numberDigits = 2, .rowsPerScreen = kRowsPerScreen, .pageLineEnd = {}},
    .songPage = {.rowsPerPage = 4, .numberDigits = 2, .rowsPerScreen = kRowsPerScreen, .pageLineFromBottom = 0.8,
                 .pageLineEnd = {}},
    .singerNameFromBottom = 2.8,
    .leaveKey = QLatin1Char('0'),
    .typedNumberWins = true,
    .noSingerText = QStringLiteral("沒這種人!"),
    .noSongText = QStringLiteral("沒這種歌!"),
};

} // namespace

SmallOrderBySinger::SmallOrderBySinger(PlaybackSession &session, SharedState &state, QSize screen, QWidget *parent)
    : KeypadWindow(session, state, screen, kLayout, parent)
    , m_flow(state, *Picture1, m_input, m_menuState, kInSongPolicy, [this] { leave(); })
{
    setObjectName(QStringLiteral("small_order_by_singer"));
}

void SmallOrderBySinger::activated()
{
    m_state.PageNo = 1;
    m_flow.SavedSingerPage = 1;
    m_flow.order_by_singer();
}
