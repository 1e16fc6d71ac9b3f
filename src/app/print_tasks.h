#pragma once

#include <QString>

struct SharedState;

// The owner's printing tasks from the command line: the same runs as the manager menu's
// buttons, single-sided into the PDF file named, or the spreadsheet written to the file named;
// the runs' messages go to standard error. Each returns the exit code: 0 when the file was
// written, 1 otherwise (a bad date, no song, a file that cannot be written).
int printBookTask(SharedState &state, const QString &pdf);
int printNewTask(SharedState &state, const QString &pdf, const QString &since, const QString &keyword);
int printChartsTask(SharedState &state, const QString &pdf);
int exportChartsTask(SharedState &state, const QString &xlsx);
int exportNewTask(SharedState &state, const QString &xlsx, const QString &since, const QString &keyword);
