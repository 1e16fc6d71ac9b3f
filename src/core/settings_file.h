#pragma once

#include "core/settings.h"

#include <QList>
#include <QString>

class FileSystem;

// One known key of Setting.ini and the block appended when the file lacks it.
struct SettingsKey
{
    QString name;
    QString comment;
    QString defaultLine;
};

// Setting.ini: created and completed with the default block of every missing key, then read.
class SettingsFile
{
public:
    // The 33 known keys in the order their blocks are written.
    static const QList<SettingsKey> &keyTable();

    // Creates the file if needed and appends the blocks of missing keys, keeping the file's
    // own encoding. Returns false and says why when the file cannot be read or written.
    static bool complete(FileSystem &fs, const QString &path, QString *problem);

    // Reads the settings from the text of the file; relative folders are placed inside appPath.
    static Settings parse(const QString &text, const QString &appPath);
};

// The line's key: the text before the first "=", trimmed and upper-cased; empty for lines
// that do not count (blank, comment).
QString settingsLineKey(const QString &line);
