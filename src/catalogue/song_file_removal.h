#pragma once

#include <QString>

class Database;
class FileSystem;
class MessageBoxes;

// Deletes the file of a song the owner has agreed to delete with its file, found as every
// song file is found (songFilePath). When songs other than exceptNum still play that file, the
// owner is told which and asked again; No keeps the file. A file already gone is no failure.
// True when the file was deleted. Throws DatabaseError when the catalogue cannot be read (the
// file is then kept).
bool removeSongFile(Database &db, FileSystem &fs, MessageBoxes &boxes, const QString &appPath, const QString &location,
                    const QString &exceptNum);
