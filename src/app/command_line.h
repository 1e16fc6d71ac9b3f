#pragma once

#include <QString>
#include <QStringList>

// Options of the karaoke program: --home DIR chooses the program folder (default: the
// folder of the executable), --init-only starts up, reports and exits; the owner's tasks
// without a window run and exit.
struct CommandLine
{
    QString home;
    bool initOnly = false;
    double clockSpeed = 1.0; // --clock-speed N: seconds pass N times faster (demos, screenshots)
    QString registerFolder;  // --register-folder FOLDER: registration by file name, no window
    QString registerList;    // --register-list FILE: batch registration, no window
    QString error;
};

CommandLine parseCommandLine(const QStringList &arguments, const QString &executableFolder);

// True when the options ask for a task that needs no display.
bool needsNoWindow(const CommandLine &options);
