#pragma once

struct MenuContext;

// Ordering by singer: the guest picks the singer group, a singer from the paged list, then
// songs of that singer. Menu states "2" (group), "2_1" (singers) and "2_2" (songs).
class OrderBySinger
{
public:
    explicit OrderBySinger(MenuContext &menu);

    void order_by_singer();
    void order_by_singer_do(int &KeyAscii);
    void order_by_singer_do_1(int &KeyAscii);
    void order_by_singer_do_2(int &KeyAscii);
    void list_singer_page(int page);
    void list_singer_song_page(int page);

private:
    void openSinger();
    void pickSong();

    MenuContext &m_menu;
};
