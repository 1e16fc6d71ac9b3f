#pragma once

struct MenuContext;

// Ordering by character count: the guest picks a song kind, types how many characters the
// title has, pages through the matching titles and types a song's list position.
// Menu states "1" (kind), "1_1" (count) and "1_2" (list).
class OrderByTextCount
{
public:
    explicit OrderByTextCount(MenuContext &menu);

    void order_by_text_count();
    void order_by_text_count_do(int &KeyAscii);
    void order_by_text_count_do_1(int &KeyAscii);
    void order_by_text_count_do_2(int &KeyAscii);
    void list_count_song_page(int page);

private:
    void searchCount();
    void pickSong();

    MenuContext &m_menu;
};
