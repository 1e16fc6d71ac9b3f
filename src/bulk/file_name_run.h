#pragma once

#include <QString>
#include <QStringList>

class FileTable;
class FileSystem;
class Progress;
struct SharedState;

// What a registration run did.
struct RunOutcome
{
    int songsWritten = 0;
    int filesDeleted = 0;
    QStringList problems; // one line per row that could not be registered
    bool stopped = false; // the owner stopped the run; the rest stays for the next run
};

// Which rows a run takes: the window registers every row once all are confirmed; the command
// line registers the rows that need no decision and leaves the others.
enum class RowsTaken { All, ReadyOnly };

// Registers the rows of the table by their commands, each song in one piece, dated date
// ("YYYY/MM/DD"). Rows already registered are passed over. A catalogue error is told in the
// outcome's problems: the row fails, or the run stops when the catalogue is busy.
RunOutcome registerFileRows(SharedState &state, FileSystem &fs, const FileTable &table, const QString &date,
                            RowsTaken taken, Progress &progress);
