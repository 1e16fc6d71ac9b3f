#pragma once

#include "playback/recording_take.h"
#include "playback/small_window.h"

#include <array>

class PlaybackSession;
class QLabel;
class QPushButton;

// The mixer panel: sound channel (left, centre, right), music volume in steps of ten, the key
// in semitones, and recording the singing. Its labels show what the session reports, so they
// stay right when the player's hot keys change the same things with the panel closed.
class MixerMenu : public SmallWindow
{
    Q_OBJECT

public:
    MixerMenu(PlaybackSession &session, SharedState &state, QSize screen, QWidget *parent = nullptr);

    void handleKey(int &KeyAscii) override { Form_KeyPress(KeyAscii); }
    void Form_KeyPress(int &KeyAscii);
    void vol_mic_Click(int index);
    void vol_music_Click(int index);
    void tune_key_Click(int index); // 0 a semitone down, 1 up
    void cmdRecord_Click();
    void Command1_Click();

    std::array<QPushButton *, 3> vol_mic{};
    std::array<QPushButton *, 2> vol_music{};
    std::array<QPushButton *, 2> tune_key{};
    QPushButton *cmdRecord = nullptr;
    QPushButton *Command1 = nullptr;
    QLabel *lb_vol_music = nullptr;
    QLabel *Label6 = nullptr;
    QLabel *Label5 = nullptr; // the key, in the row of Label4

protected:
    void showEvent(QShowEvent *event) override;

private:
    void showChannel(int channel);
    void showTake(TakeState state);

    PlaybackSession &m_session;
};
