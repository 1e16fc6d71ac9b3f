#pragma once

struct CommandLine;
struct SharedState;
class Clock;

// The owner's printing tasks from the command line: the same runs as the manager menu's
// buttons, single-sided into the PDF file named, or the spreadsheet written to the file named;
// the runs' messages go to standard error. Returns the exit code: 0 when the file was written.
int runPrintTask(const CommandLine &options, SharedState &state, Clock &clock);
