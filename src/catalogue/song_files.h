#pragma once

#include <QSet>
#include <QString>
#include <QStringList>

#include <optional>

class Database;

// Where a song's file is on this machine: its stored location, trimmed, with "\" or "/"
// between folders, a relative location taken inside the program folder appPath, and "." and
// ".." parts resolved. Every song-file access (playing, previewing, replacing, deleting) goes
// through it, so a file is found the same way everywhere.
QString songFilePath(const QString &appPath, const QString &location);

// True when a and b name the same file: symbolic links are followed for files that exist, and
// letter case counts, as it does on this machine.
bool isSameSongFile(const QString &a, const QString &b);

// The files a song file plays from: the file itself and, for a CD+G pair, the file beside it
// (an .mp3's .cdg, a .cdg's .mp3).
QStringList songFileParts(const QString &path);

// The files songs are registered with. The catalogue's index finds a location stored as
// songFilePath writes it; locations stored in another spelling (relative, "\" between
// folders, "." parts) are read once, when first needed, and kept resolved.
class RegisteredFiles
{
public:
    RegisteredFiles(Database &db, QString appPath);

    // True when some song's file is path (an absolute path as songFilePath gives it).
    bool contains(const QString &path);
    // True when some song is registered with any file of songFileParts(path): a CD+G pair is
    // one song, whichever of its two files it was registered with.
    bool containsSong(const QString &path);
    // A song was just registered with the file at path, whatever spelling it was stored in.
    void add(const QString &path);

private:
    Database &m_db;
    QString m_appPath;
    std::optional<QSet<QString>> m_otherSpellings;
};

// The numbers of the songs, other than exceptNum, that play the file at path: compared as
// isSameSongFile compares, whatever spelling their locations are stored in.
QStringList songsUsingFile(Database &db, const QString &appPath, const QString &path, const QString &exceptNum);
