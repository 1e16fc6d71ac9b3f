#pragma once

#include "manage/duplicate_resolution.h"
#include "manage/manager_dialog.h"

// The window that resolves a new song whose title resembles songs already registered: the new
// song beside the similar old ones, to register anyway, give up (optionally deleting its file),
// preview either file, delete an old song and take its number, or rename an old song; the
// decisions are DuplicateResolution's. Song registration opens it as song_add_same, batch
// registration as batch_same; the two differ in caption, in the old-song delete button and in
// the message after registering.
class DuplicateTitleDialog : public ManagerDialog
{
    Q_OBJECT

public:
    enum class Variant { song_add_same, batch_same };

    // Reads the similar songs at once; throws DatabaseError when the catalogue cannot be read.
    DuplicateTitleDialog(Variant variant, const NewSong &song, const QString &number, SharedState &state,
                         Services &services, QSize screen, QWidget *parent = nullptr);

    const DuplicateResolution &resolution() const { return m_resolution; }

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

    // Every way of closing passes here: the close box and Esc ask what the resolution asks.
    void done(int result) override;

private:
    void createControls();
    void showTitles(int selected);
    void refuseTyping();
    void finishIf(bool over);

    Variant m_variant;
    DuplicateResolution m_resolution;
    bool m_closing = false;
};
