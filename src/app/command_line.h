#pragma once

#include <QString>
#include <QStringList>

// Options of the karaoke program: --home DIR chooses the program folder (default: the
// folder of the executable), --init-only starts up, reports and exits, --statistics prints the
// catalogue's statistics and exits.
struct CommandLine
{
    QString home;
    bool initOnly = false;
    bool statistics = false; // --statistics: prints the catalogue's statistics and exits
    double clockSpeed = 1.0; // --clock-speed N: seconds pass N times faster (demos, screenshots)
    QString error;
};

CommandLine parseCommandLine(const QStringList &arguments, const QString &executableFolder);
