#pragma once

#include "catalogue/song_records.h"
#include "manage/singer_settling.h"

#include <QList>
#include <QString>

#include <optional>

class FileSystem;
class MessageBoxes;
struct SharedState;

// The edit fields of the song-change window.
struct SongEditForm
{
    QString number; // the number box: the number itself is never changed
    QString title;
    int kind = -1;
    int count = -1;
    QString buildDate;
    QString location;
    QString singerName;
};

// Changing and deleting songs: the search, a song picked for editing, its save with the checks
// in their order and its delete (with the file when the owner says so).
class SongEditFlow
{
public:
    // The result list holds this many songs.
    static constexpr int kListRows = 2001;

    SongEditFlow(SharedState &state, FileSystem &fs, MessageBoxes &boxes, MissingSingerDecision &missingSinger);

    // Songs whose title or number holds titleFragment and whose singer's name holds
    // singerFragment; more than the list holds is told.
    QList<SongSearchHit> search(const QString &titleFragment, const QString &singerFragment);
    // The song of that number as the edit fields show it; nothing (and a message) when it is gone.
    std::optional<SongEditForm> pick(const QString &number);
    // Saves the edit of the song picked as current. False when refused; the fields keep what
    // was typed. The singer's name and the date as stored go back into *saved.
    bool save(const QString &current, const SongEditForm &form, SongEditForm *saved);
    // Asks, then deletes the song and, when the owner says so, its file. True when deleted.
    bool remove(const QString &current);

private:
    bool refuse(const QString &message);
    bool numberUnchanged(const QString &current, const QString &numberBox);

    SharedState &m_state;
    FileSystem &m_fs;
    MessageBoxes &m_boxes;
    MissingSingerDecision &m_missingSinger;
};
