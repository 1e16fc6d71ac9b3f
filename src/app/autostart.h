#pragma once

#include <QString>
#include <QStringList>

// The XDG autostart entry that starts the jukebox, full screen, when this user logs in:
// configHome/autostart/karaoke.desktop.
QString autostartEntryPath(const QString &configHome);

// The entry's Exec value for a command (the program and its arguments), quoted and escaped
// so the session starts exactly that command.
QString desktopExecValue(const QStringList &command);

// What --autostart did, in the program's words.
struct AutostartResult
{
    bool ok = false;
    QString message;
};

// Writes the entry starting command (on), or removes it (off).
AutostartResult setAutostart(bool on, const QString &configHome, const QStringList &command);
