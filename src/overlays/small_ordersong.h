#pragma once

#include "overlays/keypad_window.h"

// The in-song ordering window: the guest types a catalogue number and Enter, and the song is
// queued while the video plays on; "0" and Enter bring the control bar back.
class SmallOrdersong : public KeypadWindow
{
    Q_OBJECT

public:
    SmallOrdersong(PlaybackSession &session, SharedState &state, QSize screen, QWidget *parent = nullptr);

protected:
    void keyPress(int key) override;
    void activated() override {}

private:
    void orderTypedNumber();
};
