#pragma once

#include "manage/singer_settling.h"

#include <QString>

class FileSystem;
class MessageBoxes;
struct NewSong;
struct SharedState;

// What the song-add window holds when "存" is pressed.
struct SongAddForm
{
    QString buildDate;
    int kind = -1;  // -1: none chosen
    int count = -1; // -1: none chosen
    QString number; // as proposed
    QString title;
    QString singerName;
    QString location;
};

// The decisions registering one song cannot take alone.
class SongAddDecisions : public MissingSingerDecision
{
public:
    // The title resembles a song already registered: the duplicate-title window decides what
    // is stored, the new song offered under number.
    virtual void resolveSimilarTitle(const NewSong &song, const QString &number) = 0;
};

// Registering one song at a time: the proposed number, the checks of the save in their order
// (date, number, title, file, singer, similar title), each refusal told in a message box.
class SongAddFlow
{
public:
    enum class Outcome {
        Refused,    // a check failed; the form stays for correction
        Stored,     // the song is in the catalogue
        HandedOver, // a similar title went to the duplicate-title window
    };

    SongAddFlow(SharedState &state, FileSystem &fs, MessageBoxes &boxes, SongAddDecisions &decisions);

    // The number offered for a kind and count: the lowest free one.
    QString proposedNumber(int kind, int count);
    // Saves the form. The singer's name as settled (corrected in the add-singer dialog) is
    // written to *singerName. The number is decided when the song is stored: one taken
    // meanwhile by another program gives the song the lowest free number, and the owner is told.
    Outcome save(const SongAddForm &form, QString *singerName);

private:
    bool refuse(const QString &message);
    bool formAcceptable(const SongAddForm &form, QString *date);

    SharedState &m_state;
    FileSystem &m_fs;
    MessageBoxes &m_boxes;
    SongAddDecisions &m_decisions;
};
