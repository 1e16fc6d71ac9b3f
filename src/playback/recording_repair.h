#pragma once

#include <QStringList>

class FileSystem;

// Corrects the size fields of recordings that were cut off (the program was killed while a
// guest sang): the samples are on disk, only the header does not know how many. Returns
// the files it corrected.
QStringList repairRecordings(FileSystem &fs, const QString &recordFolder);
