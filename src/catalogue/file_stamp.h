#pragma once

#include <QString>
#include <QtGlobal>

#include <optional>

// What a song's files look like on disk, kept with the loudness measured from them: a file
// replaced under the same name (another size or modification time) is measured again.
struct FileStamp
{
    qint64 size = 0;       // the bytes of every file the song plays from, together
    qint64 modifiedNs = 0; // the latest modification time among them, in nanoseconds

    bool operator==(const FileStamp &) const = default;
};

// The stamp of the song file at path and the file beside it of a CD+G pair; nothing when one of
// them is not a regular file that can be looked at now (missing, a pipe, a folder). Looking may
// wait on a hung network folder: never called on the window thread.
std::optional<FileStamp> stampOfSongFile(const QString &path);
