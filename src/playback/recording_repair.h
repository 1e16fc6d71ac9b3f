#pragma once

#include <QStringList>

class FileSystem;
class QIODevice;

// Corrects the size fields of recordings that were cut off (the program was killed while a
// guest sang): the samples are on disk, only the header does not know how many. Returns
// the files it corrected.
QStringList repairRecordings(FileSystem &fs, const QString &recordFolder);

// True for a take in the recorder's own 44-byte layout whose data chunk runs to the end of
// the file while one or both size fields say otherwise. A WAV whose data chunk is followed
// by further chunks (LIST, id3 ) is whole and is left alone, as is any other layout.
bool isCutOffTake(QIODevice &file);
