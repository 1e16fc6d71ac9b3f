#pragma once

#include <QDateTime>
#include <QString>

// Where a new recording goes: the record folder, the time of recording as yyyymmddhhmm, the
// song's display text with blanks trimmed, and ".wav". Characters a file name cannot hold
// ("/" and NUL) become "_".
QString recordFileName(const QString &recordPath, const QDateTime &when, const QString &displayText);
