#pragma once

#include <QtGlobal>

// The number of files this process may hold open. A desktop session often starts programs
// with a soft limit of 1 024 under a far higher hard one; the jukebox raises its own at start,
// so that strangers' connections and a song's files never compete for the last few.
namespace OpenFiles {

qint64 limit();
// Raises the soft limit to the hard one; the limit now.
qint64 raiseLimit();

} // namespace OpenFiles
