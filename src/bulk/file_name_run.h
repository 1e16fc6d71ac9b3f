#pragma once

#include <QString>
#include <QStringList>

class FileTable;
class FileSystem;
class Progress;
struct SharedState;

// What a registration run did. Counts are what the catalogue really holds afterwards.
struct RunOutcome
{
    int songsWritten = 0;     // songs stored (committed) by the run
    int alreadyRegistered = 0; // files found registered when their song was to be stored
    int filesDeleted = 0;
    QStringList problems; // one line per row that could not be registered, and why
    bool stopped = false; // the owner stopped the run; the rest stays for the next run
};

// Which rows a run takes: the window registers every row once all are confirmed; the command
// line registers the rows that need no decision and leaves the others.
enum class RowsTaken { All, ReadyOnly };

// Rows that cannot run together: two rows replacing one old song. The message names both
// files; *row is the second of them. Empty when the table may run.
QString conflictingRows(const FileTable &table, int *row);

// Registers the rows of the table by their commands, each song in one piece, dated date
// ("YYYY/MM/DD"). Whether a file is registered already and which number a song gets are
// decided when the song is stored, so two runs at once never register a file twice. A
// catalogue error is told in the outcome's problems: the row fails, or the run stops when the
// catalogue is busy or the disk is full.
RunOutcome registerFileRows(SharedState &state, FileSystem &fs, const FileTable &table, const QString &date,
                            RowsTaken taken, Progress &progress);
