#pragma once

#include <QDateTime>
#include <QString>

// Where a new recording goes: the record folder, the time of recording as yyyymmddhhmm, the
// song's display text with blanks trimmed, and ".wav". Characters that would make the title a
// path or that a file name cannot hold ("/", "\" and NUL) become "_", so the take is one file
// directly in the record folder.
QString recordFileName(const QString &recordPath, const QDateTime &when, const QString &displayText);
