#pragma once

#include "manage/manager_dialog.h"
#include "manage/similar_titles.h"
#include "manage/song_records.h"

// The window that resolves a new song whose title resembles songs already registered: the
// new song beside the similar old ones, to register anyway, give up (optionally deleting its
// file), preview either file, delete an old song and take its number, or rename an old song.
// Song registration opens it as song_add_same, batch registration as batch_same; the two
// differ in caption, in the old-song delete button and in the message after registering.
class DuplicateTitleDialog : public ManagerDialog
{
    Q_OBJECT

public:
    enum class Variant { song_add_same, batch_same };
    enum class Outcome {
        Undecided,  // closed with the close box: nothing registered, no file deleted
        Registered, // the new song is stored (newSong() says under which number and title)
        GivenUp,    // the owner gave the new song up
    };

    // Reads the similar songs at once; throws DatabaseError when the catalogue cannot be read.
    DuplicateTitleDialog(Variant variant, const SongRecord &newSong, SharedState &state, Services &services,
                         QSize screen, QWidget *parent = nullptr);

    Outcome outcome() const { return m_outcome; }
    // The new song, with the number it took over from a deleted old song and the title as
    // edited in new_song_name.
    const SongRecord &newSong() const { return m_song; }

    void new_add_Click();
    void new_cancel_Click();
    void new_view_Click();
    void org_view_Click();
    void org_kill_Click();
    void org_modify_Click();
    void org_song_name_Click();

    QGroupBox *Frame2 = nullptr;
    QLineEdit *new_song_name = nullptr; // label new_Label
    QPushButton *new_view = nullptr;
    QPushButton *new_add = nullptr;
    QPushButton *new_cancel = nullptr;
    QGroupBox *Frame1 = nullptr;
    QComboBox *org_song_name = nullptr; // label org_Label1
    QLabel *org_song_singer_lab = nullptr;
    QPushButton *org_view = nullptr;
    QPushButton *org_kill = nullptr;
    QLineEdit *org_renew = nullptr; // label org_Label2
    QPushButton *org_modify = nullptr;

private:
    void createControls();
    void loadSimilarSongs();
    void refreshTitles();
    void finishRegistered(const SongRecord &song);
    void preview(const QString &path, const QString &caption);
    void refuseTyping();
    // The similar song selected in org_song_name, or nullptr.
    const SimilarSong *selectedSong() const;

    Variant m_variant;
    SongRecord m_song;
    QList<SimilarSong> m_similar; // parallel to org_song_name
    Outcome m_outcome = Outcome::Undecided;
};
