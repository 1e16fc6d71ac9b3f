#pragma once

#include "overlays/keypad_window.h"

// The in-song order-by-singer window: singer group, a page of five singers, a page of four
// songs of the chosen singer, with the keypad on the left. At either list step a catalogue
// number typed and Enter queues that song at once. States "2", "2_1" and "2_2" as in the menu.
class SmallOrderBySinger : public KeypadWindow
{
    Q_OBJECT

public:
    SmallOrderBySinger(PlaybackSession &session, SharedState &state, QSize screen, QWidget *parent = nullptr);

    const QString &menuState() const { return m_menu.MenuState; }

    void order_by_singer();
    void order_by_singer_do(int &KeyAscii);
    void order_by_singer_do_1(int &KeyAscii);
    void order_by_singer_do_2(int &KeyAscii);
    void list_singer_page(int page);
    void list_singer_song_page(int page);

protected:
    void keyPress(int key) override { order_by_singer_do(key); }
    void activated() override;

private:
    void chooseGroup(int key);
    void openSinger();
    void pickSong();
    void backToSingers();
};
