#pragma once

#include "menu/shown_queue_rows.h"

#include <QString>

struct MenuContext;

// The three main-menu choices that work on the play queue and share its paged listing:
// ordering by catalogue number (state "3"), deleting a queued song (state "4") and moving
// one to the front so it plays next (state "5").
class QueueEditing
{
public:
    explicit QueueEditing(MenuContext &menu);

    void order_by_song_num();
    void delete_song();
    void intter_song();
    void order_by_song_num_do(int &KeyAscii);
    void delete_song_do(int &KeyAscii);
    void intter_song_do(int &KeyAscii);
    void list_queue_page(int page);
    // The queue changed from elsewhere (a phone): the page shown in these states is drawn again,
    // and digits typed for a line whose song changed are taken back with a notice.
    void queueChanged();

private:
    void enter(const QString &state, const QString &heading);
    // Shared keys of the three states; true when the key was handled.
    bool commonKey(int key, const QString &heading);
    void orderNumber();
    void deleteRow();
    void moveRowToFront();
    // The queue row now of the song shown on the typed line, or -1 after the message or silence.
    qint64 typedRow(const QString &emptyRowMessage);
    void redraw(const QString &heading);
    // The heading of the state shown, or an empty text outside these states.
    QString heading() const;

    MenuContext &m_menu;
    ShownQueueRows m_shown;
};
