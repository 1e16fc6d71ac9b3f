#pragma once

#include "manage/manager_dialog.h"

class QTimer;
struct SongEditForm;

// "歌曲資料新增修改": finds songs by a fragment of the title or number and of the singer's
// name, shows the one picked for editing, saves it, deletes it (and, when the owner says so,
// its file) and previews its file; the work is SongEditFlow's. A song sung by several singers
// is listed once per singer and is saved and deleted as one.
class SongModify : public ManagerDialog
{
    Q_OBJECT

public:
    SongModify(SharedState &state, Services &services, QSize screen, QWidget *parent = nullptr);

    void key_search_Click();
    void List1_Click();
    void key_location_Click();
    void key_singer_Click();
    void key_modify_Click();
    void key_delete_Click();
    void view_file_Click();
    void key_exit_Click();
    // The edit area works only while a song is picked.
    void Timer1_Timer();

    bool songSelected() const { return m_selected; }
    const QString &currentSongNum() const { return m_current; }

    QLineEdit *keyword_song = nullptr;   // label Label3
    QLineEdit *keyword_singer = nullptr; // label Label2
    QPushButton *key_search = nullptr;
    QListWidget *List1 = nullptr;
    QGroupBox *data_area = nullptr;
    QLineEdit *song_name = nullptr;       // label Label4
    QComboBox *song_kind = nullptr;       // label Label5
    QComboBox *song_text_count = nullptr; // label Label6
    QLineEdit *song_num = nullptr;        // label Label7
    QLineEdit *song_build_date = nullptr; // label Label8
    QLineEdit *song_location = nullptr;   // label Label9
    QPushButton *key_location = nullptr;
    QLineEdit *singer_name = nullptr; // label Label10
    QPushButton *key_singer = nullptr;
    QPushButton *key_modify = nullptr;
    QPushButton *key_delete = nullptr;
    QPushButton *view_file = nullptr;
    QPushButton *key_exit = nullptr;
    QTimer *Timer1 = nullptr;

private:
    void createSearchArea();
    void createDataArea();
    class Decisions;
    void showCount(int count);
    void showForm(const SongEditForm &form);
    SongEditForm typedForm() const;
    void clearEditFields();
    // Shows the title and singer of every listed entry of the current number again.
    void relistCurrentSong(const QString &title, const QString &singer);

    QStringList m_numbers; // parallel to List1
    QString m_current;
    bool m_selected = false;
};
