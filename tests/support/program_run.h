#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

// How a run of the real program ended, and what it printed.
struct ProgramRun
{
    bool finished = false;
    int exitCode = -1;
    QString out;
    QString err;
};

// Runs program as the owner starts it from a terminal with no display at all; environment
// sets variables (an empty value removes one). Gives up after 30 seconds.
ProgramRun runProgram(const QString &program, const QStringList &arguments,
                      const QHash<QString, QString> &environment = {});
