#pragma once

#include <QString>

// The catalogue file karaoke.mdb: created with its schema when missing, brought up to the
// newest schema version when older. A file that is not a catalogue is never written to.
class CatalogueFile
{
public:
    static constexpr int kSchemaVersion = 2;

    // Returns false and says what is wrong with which file when the program cannot use it.
    static bool openOrCreate(const QString &dbPath, QString *problem);
};
