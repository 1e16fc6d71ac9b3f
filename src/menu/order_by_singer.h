#pragma once

#include "menu/numbered_list.h"

#include <QString>

#include <functional>

class DrawingSurface;
struct KeypadInput;
struct SharedState;

// What sets the menu's ordering by singer apart from the in-song window's.
struct SingerFlowPolicy
{
    NumberedPage singerPage;
    NumberedPage songPage;
    double singerNameFromBottom; // the "歌手:" line of the song page, in list rows
    QChar leaveKey;              // leaves the group choice ("9" in the menu, "0" over a song)
    bool typedNumberWins;        // a catalogue number typed at either list queues that song at once
    // Answers to a position without a singer or a song. Empty: nothing happens and the digits
    // stay. Otherwise the digits go and the text shows, and a song position outside any list
    // (such as "00") draws the page again without a word.
    QString noSingerText = {};
    QString noSongText = {};
};

// Ordering by singer: the guest picks the singer group, a singer from the paged list, then
// songs of that singer, and "0" and Enter go back a step. States "2" (group), "2_1" (singers)
// and "2_2" (songs), kept in the window's state string.
class OrderBySinger
{
public:
    // The full-screen menu's way: twelve singers and ten songs a page, "9" leaves, no answers.
    static const SingerFlowPolicy kMenuPolicy;

    OrderBySinger(SharedState &state, DrawingSurface &screen, KeypadInput &input, QString &menuState,
                  SingerFlowPolicy policy, std::function<void()> leave);

    void order_by_singer();
    void order_by_singer_do(int &KeyAscii);
    void order_by_singer_do_1(int &KeyAscii);
    void order_by_singer_do_2(int &KeyAscii);
    void list_singer_page(int page);
    void list_singer_song_page(int page);

    // The singer page the song list goes back to.
    int SavedSingerPage = 1;

private:
    void chooseGroup(int key);
    void openSinger();
    void pickSong();
    void backToSingers();

    SharedState &m_state;
    DrawingSurface &m_screen;
    KeypadInput &m_input;
    QString &m_menuState;
    const SingerFlowPolicy m_policy;
    std::function<void()> m_leave;
};
