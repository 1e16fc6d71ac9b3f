#include "overlays/small_ordersong.h"

#include "core/key_translation.h"
#include "menu/song_ordering.h"

namespace {

const KeypadLayout kLayout{0.18, 18, 15, QStringLiteral("-"), QStringLiteral("+"), 1.0,
                           QStringLiteral("選\"0\"離開"), false};

} // namespace

SmallOrdersong::SmallOrdersong(PlaybackSession &session, SharedState &state, QSize screen, QWidget *parent)
    : KeypadWindow(session, state, screen, kLayout, parent)
{
    setObjectName(QStringLiteral("small_ordersong"));
}

void SmallOrdersong::keyPress(int key)
{
    // "-", "+" and keys the settings do not know do nothing here.
    if (editInput(m_input, key) || key != KeyCode::Enter)
        return;
    orderTypedNumber();
}

void SmallOrdersong::orderTypedNumber()
{
    if (m_input.InputBuffer == QLatin1String("0")) {
        leave();
        return;
    }
    if (queueTypedSong(m_state, m_input))
        return;
    clearInput(m_input, QStringLiteral("沒這種歌!"));
}
