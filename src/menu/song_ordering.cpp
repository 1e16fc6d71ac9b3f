#include "menu/song_ordering.h"

#include "core/lookups.h"
#include "core/shared_state.h"
#include "widgets/drawing_surface.h"
#include "widgets/keypad_input.h"

bool queueTypedSong(SharedState &state, KeypadInput &input)
{
    const QString number = input.InputBuffer.trimmed();
    if (number.isEmpty())
        return false;
    const int added = AddToOrderList(state, number);
    if (added == kSongNotFound)
        return false;
    setEcho(input, added == kQueueFull ? kQueueFullText : GetSongName(state, number));
    input.InputBuffer.clear();
    return true;
}

void orderListedSong(SharedState &state, DrawingSurface &screen, KeypadInput &input, qint64 position,
                     const std::function<void()> &redrawPage, const QString &missingText)
{
    const ListRow &row = state.SongList.row(position - 1);
    const int added = row.isEmpty() ? kSongNotFound : AddToOrderList(state, row.key);
    if (added == kQueueFull) {
        setEcho(input, kQueueFullText);
        input.InputBuffer.clear();
        return;
    }
    if (added < 0) {
        if (missingText.isEmpty())
            return;
        setEcho(input, missingText);
        input.InputBuffer.clear();
        return;
    }
    redrawPage();
    screen.Print(QStringLiteral("成功點入:") + row.text + QStringLiteral("...."));
    clearInput(input);
}
