#pragma once

#include <QString>
#include <QStringList>

// Options of the karaoke program: --home DIR chooses the program folder (default: the
// folder of the executable), --init-only starts up, reports and exits, --statistics prints the
// catalogue's statistics and exits. The printing tasks run without a window too:
// --print-book FILE.pdf, --print-new FILE.pdf and --export-new FILE.xlsx, the last two with
// --since YYYY/MM/DD and optionally --keyword K; so do the registration tasks
// --register-folder FOLDER and --register-list FILE.
struct CommandLine
{
    enum class Task { Jukebox, InitOnly, Statistics, PrintBook, PrintNew, ExportNew, RegisterFolder, RegisterList };

    QString home;
    double clockSpeed = 1.0; // --clock-speed N: seconds pass N times faster (demos, screenshots)
    Task task = Task::Jukebox;
    QString outputFile; // of the printing tasks
    QString inputPath;  // of the registration tasks: the folder or the list file
    QString since;
    QString keyword;
    bool sinceGiven = false;
    bool keywordGiven = false;
    QString error;
};

CommandLine parseCommandLine(const QStringList &arguments, const QString &executableFolder);

// The task the arguments ask for, read before any application object exists.
CommandLine::Task requestedTask(const QStringList &arguments);
