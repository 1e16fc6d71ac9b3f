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
    clearInput(input, added == kQueueFull ? kQueueFullText : GetSongName(state, number));
    return true;
}

void orderListedSong(SharedState &state, DrawingSurface &screen, KeypadInput &input, qint64 position,
                     const std::function<void()> &redrawPage, const QString &missingText)
{
    const ListRow &row = state.SongList.row(position - 1);
    const int added = row.isEmpty() ? kSongNotFound : AddToOrderList(state, row.key);
    if (added == kQueueFull) {
        clearInput(input, kQueueFullText);
        return;
    }
    if (added < 0) {
        if (missingText.isEmpty())
            return;
        clearInput(input, missingText);
        return;
    }
    redrawPage();
    screen.Print(QStringLiteral("成功點入:") + row.text + QStringLiteral("...."));
    clearInput(input);
}
