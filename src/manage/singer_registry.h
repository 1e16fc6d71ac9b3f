#pragma once

#include <QString>

class MessageBoxes;
struct SharedState;

// The singer registry: adding, changing and deleting singers in the singer window, and the
// "ok!" of the add-singer dialogs that registration opens. Each refusal and each result is
// told in a message box; nothing touches the songs.
class SingerRegistry
{
public:
    SingerRegistry(SharedState &state, MessageBoxes &boxes);

    // "新增": a singer of a name no singer has. True when added.
    bool add(const QString &typedName, int sex);
    // "修改": the singer picked (code) gets the name and sex; another singer of that name is no
    // obstacle. True when changed.
    bool modify(qint64 code, const QString &typedName, int sex);
    // "刪除": asks, then deletes the singer picked. True when deleted.
    bool remove(qint64 code);
    // The add-singer dialog's "ok!": the singer is added, or the owner confirms that the one of
    // that name already there is meant. True when the dialog closes with the name settled.
    bool confirmNewSinger(const QString &typedName, int sex);

private:
    bool acceptable(const QString &typedName, int sex);

    SharedState &m_state;
    MessageBoxes &m_boxes;
};
