#pragma once

#include "core/settings.h"

#include <QList>
#include <QString>
#include <QStringList>

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

    // The text of the file at path once the blocks of missing keys are added. The completed
    // file replaces the old one whole (never rewritten in place), keeping the old bytes and
    // encoding. A file that exists but cannot be read, or is not a regular file, is never
    // written: the text is then empty and problem says why, so the program starts with the
    // defaults. A file that cannot be written still gives the completed text.
    static QString complete(FileSystem &fs, const QString &path, QString *problem);

    // The file's bytes followed by the blocks of its missing keys, in its own encoding.
    static QByteArray completedBytes(const QByteArray &bytes);

    // complete, then parse; problem is left empty when all went well.
    static Settings load(FileSystem &fs, const QString &path, const QString &appPath, QString *problem,
                         QStringList *notices = nullptr);

    // Reads the settings from the text of the file; relative folders are placed inside appPath.
    // A value that cannot be used is replaced by its default, and notices (when given) says so.
    static Settings parse(const QString &text, const QString &appPath, QStringList *notices = nullptr);

    // The value of the last line of that key (upper case) in the text, read as every line is;
    // empty when there is none. For a feature's own optional lines, read where it starts.
    static QString lineValueOf(const QString &text, const QString &key);
};

// The line's key: the text before the first "=", trimmed and upper-cased; empty for lines
// that do not count (blank, comment).
QString settingsLineKey(const QString &line);
