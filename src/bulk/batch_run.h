#pragma once

#include "bulk/batch_validation.h"
#include "catalogue/song_registration.h"

#include <QString>

#include <vector>

class FileSystem;
class Progress;
class RegisteredFiles;
struct SharedState;

// The line of a list file being registered (the current record): the add-singer dialog may
// correct its singer, the duplicate window reads it and decides what is stored.
struct BatchRecord
{
    QString buildDate;
    int kindCode = 0;
    int count = 0;
    QString newSongNum; // the number proposed; the song gets the lowest free one when it is stored
    QString title;
    QString singerName;
    QString filePath;
    qint64 singerCode = 0;
};

// The record as the song it stores.
NewSong newSongOf(const BatchRecord &record);

// The decisions a batch run cannot take alone. The window asks the owner; the command line
// creates the singer and registers a similar title anyway, and says so.
class BatchDecisions
{
public:
    virtual ~BatchDecisions() = default;
    // The record's singer is not in the catalogue (batch_singer_add); the singer may be
    // created, and record.singerName corrected.
    virtual void missingSinger(BatchRecord &record) = 0;
    // A registered song has a similar title (batch_same); message names it. Returns whether
    // the new song was stored.
    virtual bool similarTitle(BatchRecord &record, const QString &message) = 0;
};

struct BatchOutcome
{
    int linesDone = 0;    // lines registered, found registered already, or decided by the owner
    int songsWritten = 0; // songs stored (committed), by the run or the owner's decisions
    QStringList problems; // lines left out, with why
    bool stopped = false; // the owner stopped the run, or the catalogue could not be written
};

// The registration pass over validated lines, each song in one piece. A line whose file is
// registered already is passed over silently; that and the song's number are decided when the
// song is stored. A catalogue error is told in the outcome's problems: the line fails, or the
// run stops when the catalogue is busy or cannot be written.
BatchOutcome registerBatch(SharedState &state, FileSystem &fs, const std::vector<BatchSong> &songs,
                           const QString &date, BatchDecisions &decisions, Progress &progress);

// The closing message of a run of that many lines.
QString batchDoneMessage(int lines);
// The closing message of a run that stopped before its end.
QString batchStoppedMessage(const BatchOutcome &outcome);
