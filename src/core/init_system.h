#pragma once

#include <QString>
#include <QStringList>

class Clock;
class FileSystem;
struct SharedState;

struct InitResult
{
    bool ok = true;
    QString problem;     // why the program cannot start (ok is false)
    QStringList notices; // what went wrong without stopping the program
};

// Fills the shared state for the program folder appFolder: settings from Setting.ini (created
// and completed first), the record folder, the catalogue. Leaves the play queue, the
// recording and the sound channel alone, so it can run again while songs are queued.
InitResult InitSystem(SharedState &state, FileSystem &fs, Clock &clock, const QString &appFolder);

// Removes a primary-key index the song table may carry, so several singers can share a number.
void DropSongPrimaryKey(const SharedState &state);
