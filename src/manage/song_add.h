#pragma once

#include "manage/manager_dialog.h"

// "新增歌曲": registers one song after another. The kind and count lists propose the next
// free number; the save (SongAddFlow) checks date, number, title and file, finds or creates the
// singer, and hands a title like one already registered to the duplicate-title window.
class SongAdd : public ManagerDialog
{
    Q_OBJECT

public:
    SongAdd(SharedState &state, Services &services, QSize screen, QWidget *parent = nullptr);

    // Leaving either list: the proposed number when both lists were chosen since the window
    // was last made ready, else no number.
    void song_kind_LostFocus();
    void Command1_Click();
    void check_singr_name_Click();
    void add_do_Click();
    void forget_it_Click();

    QComboBox *song_kind = nullptr;       // label Label1
    QComboBox *song_text_count = nullptr; // label Label2
    QLabel *lb_song_code = nullptr;
    QLineEdit *song_code = nullptr;
    QLineEdit *song_build_date = nullptr; // label Label3
    QLabel *lb_date_struct = nullptr;
    QLineEdit *song_name = nullptr;     // label Label4
    QLineEdit *singer_name = nullptr;   // label Label5
    QPushButton *check_singr_name = nullptr;
    QLineEdit *song_location = nullptr; // label Label6
    QPushButton *Command1 = nullptr;
    QPushButton *add_do = nullptr;
    QPushButton *forget_it = nullptr;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    class Decisions;
    void createControls();
    void initialise();
    void readyForNextSong();
    void setNumberEnabled(bool on);

    bool m_kindChosen = false;
    bool m_countChosen = false;
    bool m_initialising = false;
};
