#pragma once

#include "menu/shown_queue_rows.h"
#include "overlays/keypad_window.h"

// The in-song insertion window: the play queue five rows a page beside the keypad. The guest
// moves a queued song up to play right after the next one ("插播"), or orders a song by its
// catalogue number. The page is drawn again whenever a song ends underneath.
class SmallInttersong : public KeypadWindow
{
    Q_OBJECT

public:
    SmallInttersong(PlaybackSession &session, SharedState &state, QSize screen, QWidget *parent = nullptr);

    static constexpr int kRowsPerPage = 5;

    void show_order_menu(int page);

protected:
    void keyPress(int key) override;
    void activated() override;
    void hideEvent(QHideEvent *event) override;

private:
    void enterTyped();
    void cutIn(qint64 row);
    void followQueue();

    ShownQueueRows m_shown;
};
