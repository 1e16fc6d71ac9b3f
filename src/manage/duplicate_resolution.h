#pragma once

#include "catalogue/similar_titles.h"
#include "catalogue/song_registration.h"

#include <QList>
#include <QString>

class FileSystem;
class MessageBoxes;
struct SharedState;

// Resolving a new song whose title resembles songs already registered: register it anyway,
// give it up (and perhaps its file), delete an old song and let the new one take its number,
// or rename an old song. Every change is committed before the owner is asked anything further.
class DuplicateResolution
{
public:
    enum class Variant {
        SongAdd, // from the song-add window
        Batch,   // from a list run: a file registered meanwhile is passed over
    };
    enum class Outcome {
        Undecided,  // closed before a decision: nothing stored, no file deleted
        Registered, // the new song is stored under number()
        GivenUp,    // the owner gave the new song up
    };

    // Reads the similar songs at once. Throws DatabaseError.
    DuplicateResolution(SharedState &state, FileSystem &fs, MessageBoxes &boxes, Variant variant, NewSong song,
                        QString number);

    const QList<SimilarSong> &similarSongs() const { return m_similar; }
    QString singerOf(int row) const;
    // Where the files are, for previews.
    QString newFile() const;
    QString oldFile(int row) const;

    // Each returns true when the resolution is over and the window closes.
    bool registerAnyway(const QString &title);
    bool giveUp();
    // "刪除替換": the old song and its file go, then the owner is asked whether the new song
    // takes its number now.
    bool replaceOld(int row, const QString &title);
    // The window's close box: once an old song is gone, the owner is asked whether the new song
    // takes its number; before that, closing decides nothing.
    bool close(const QString &title);
    void renameOld(int row, const QString &title);

    bool oldSongDeleted() const { return !m_freedNumber.isEmpty(); }
    Outcome outcome() const { return m_outcome; }
    const NewSong &song() const { return m_song; }
    // The number offered, the old song's after replaceOld, the one stored after registering.
    const QString &number() const { return m_number; }

private:
    bool isRow(int row) const { return row >= 0 && row < m_similar.size(); }
    bool store(const QString &title);
    bool offerFreedNumber(const QString &title);

    SharedState &m_state;
    FileSystem &m_fs;
    MessageBoxes &m_boxes;
    Variant m_variant;
    NewSong m_song;
    QString m_number;
    QString m_freedNumber; // the number of the old song deleted here
    QList<SimilarSong> m_similar;
    Outcome m_outcome = Outcome::Undecided;
};
