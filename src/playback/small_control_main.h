#pragma once

#include "playback/small_window.h"

class PlaybackSession;
class QPushButton;
struct Services;

// The control bar over the playing video: one button per keypad digit to order, browse the
// queue, open the mixer, skip, pause, sing again, leave the player, or close the bar.
class SmallControlMain : public SmallWindow
{
    Q_OBJECT

public:
    SmallControlMain(PlaybackSession &session, SharedState &state, Services &services, QSize screen,
                     QWidget *parent = nullptr);

    void handleKey(int &KeyAscii) override { key_press(KeyAscii); }
    void key_press(int &KeyAscii);
    void key_order_Click();
    void key_browe_Click();
    void key_done_Click();
    void key_pause_Click();
    void key_replay_Click();
    void key_next_Click();
    void key_mixer_Click();
    void key_gomain_Click();
    void key_exit_Click();

    QPushButton *key_order = nullptr;
    QPushButton *key_browe = nullptr;
    QPushButton *key_done = nullptr;
    QPushButton *key_mixer = nullptr;
    QPushButton *key_next = nullptr;
    QPushButton *key_pause = nullptr;
    QPushButton *key_replay = nullptr;
    QPushButton *key_gomain = nullptr;
    QPushButton *key_exit = nullptr;

protected:
    void showEvent(QShowEvent *event) override;
    bool event(QEvent *event) override;

private:
    void showPauseCaption(bool paused);

    PlaybackSession &m_session;
    Services &m_services;
};
