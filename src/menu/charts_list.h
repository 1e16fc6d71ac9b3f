#pragma once

struct MenuContext;

// "9.熱門排行": the most sung songs of the last 30 days as a numbered list of the title-length
// list's keys (a list position and Enter orders the song, "+"/"-" turn the page, "0" and Enter
// goes back); "*" switches to the most sung of the whole history and back. Menu state "9".
class ChartsList
{
public:
    explicit ChartsList(MenuContext &menu);

    // Whether the menu shows the entry: some song of the history was sung.
    bool shown() const;
    void open();
    void charts_do(int &KeyAscii);

private:
    void load();
    void drawPage();
    void pickSong();

    MenuContext &m_menu;
    bool m_allTime = false;
};
