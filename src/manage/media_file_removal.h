#pragma once

#include <QString>

struct Services;
struct SharedState;

// Deletes a song file the owner has agreed to delete. When other songs than exceptNum still
// play that file, the owner is told which and asked again; No keeps the file. A file that
// cannot be deleted (already gone) is passed over, as deleting has always been. Throws
// DatabaseError when the catalogue cannot be read (the file is then kept).
void removeMediaFile(SharedState &state, Services &services, const QString &path, const QString &exceptNum);
