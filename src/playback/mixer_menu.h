#pragma once

#include "playback/small_window.h"

#include <array>

class Player;
class QLabel;
class QPushButton;
struct Services;

// The mixer panel: sound channel (left, centre, right), music volume in steps of ten, and
// recording the singing. The player's hot keys call its operations without showing it.
class MixerMenu : public SmallWindow
{
    Q_OBJECT

public:
    MixerMenu(Player &player, SharedState &state, Services &services, QSize screen);

    void handleKey(int &KeyAscii) override { Form_KeyPress(KeyAscii); }
    void Form_KeyPress(int &KeyAscii);
    void vol_mic_Click(int index);
    void vol_music_Click(int index);
    void cmdRecord_Click();
    void Command1_Click();
    void setRecordCaption(const QString &caption);

    std::array<QPushButton *, 3> vol_mic{};
    std::array<QPushButton *, 2> vol_music{};
    std::array<QPushButton *, 2> tune_key{};
    QPushButton *cmdRecord = nullptr;
    QPushButton *Command1 = nullptr;
    QLabel *lb_vol_music = nullptr;
    QLabel *Label6 = nullptr;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void restartSongWithRecording(bool again);

    Player &m_player;
    Services &m_services;
};
