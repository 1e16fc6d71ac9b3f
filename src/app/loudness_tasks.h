#pragma once

#include <QtGlobal>

class QTextStream;
struct SharedState;

// --measure-loudness, and the measuring that follows a registration run: the songs not yet
// measured after afterRow (0: the whole catalogue), one progress line each, then a summary.
// Songs measured already are skipped, and a run that is stopped or killed loses nothing: the
// next run, or the jukebox while it sits idle, goes on from there. 0 once every song was tried
// (a song that cannot be measured is told, not an error of the run); 1 when the run stopped
// before the end (the catalogue locked or unwritable, the venue's server away).
int measureLoudness(SharedState &state, QTextStream &out, qint64 afterRow = 0);
