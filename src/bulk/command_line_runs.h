#pragma once

#include <QString>

class Clock;
class FileSystem;
class QTextStream;
struct SharedState;

// Bulk registration without a window, for owners who set machines up by script.

// --register-folder: scans the folder as registration by file name does and prints each
// row's status line, registers the rows that need no decision, leaves the others, and prints
// a summary. Exit code 0 when every listed file is registered, 1 otherwise.
int registerFolderWithoutWindow(SharedState &state, FileSystem &fs, Clock &clock, const QString &folder,
                                QTextStream &out);

// --register-list: validates and registers a list file as batch registration does. A missing
// singer is created as a group or other (sex code 2) and a similar title is registered all the
// same; each is said. Exit code 1 when the list is refused or a line could not be registered.
int registerListWithoutWindow(SharedState &state, FileSystem &fs, Clock &clock, const QString &listPath,
                              QTextStream &out);
