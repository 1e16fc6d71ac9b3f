#pragma once

#include <QString>
#include <QStringList>

// Options of the karaoke program: --home DIR chooses the program folder (default: the
// folder of the executable), --init-only starts up, reports and exits; --statistics and the
// owner's registration tasks run without a window and exit.
struct CommandLine
{
    QString home;
    bool initOnly = false;
    bool statistics = false; // --statistics: prints the catalogue's statistics and exits
    double clockSpeed = 1.0; // --clock-speed N: seconds pass N times faster (demos, screenshots)
    QString registerFolder;  // --register-folder FOLDER: registration by file name, no window
    QString registerList;    // --register-list FILE: batch registration, no window
    QString error;
};

CommandLine parseCommandLine(const QStringList &arguments, const QString &executableFolder);

// True when the options ask for a task that needs no display (or cannot be run at all).
bool needsNoWindow(const CommandLine &options);
