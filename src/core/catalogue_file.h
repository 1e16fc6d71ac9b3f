#pragma once

#include <QString>
#include <QStringList>

#include <array>

class Database;

// The catalogue file karaoke.mdb: created with its schema when missing, brought up to the
// newest schema version when older. A file that is not a catalogue is never written to.
class CatalogueFile
{
public:
    // The numbered schema files, applied in order; the schema version is their count.
    static constexpr std::array kSchemaFiles = {":/schema/001_catalogue.sql", ":/schema/002_lookup_indexes.sql",
                                           ":/schema/003_manager_indexes.sql",
                                           ":/schema/004_exact_song_files.sql",
                                           ":/schema/005_stroke_order.sql",
                                           ":/schema/006_song_loudness.sql",
                                           ":/schema/007_venue_copy.sql",
                                           ":/schema/008_play_queue.sql"};
    static constexpr int kSchemaVersion = int(kSchemaFiles.size());

    // Returns false and says what is wrong with which file when the program cannot use it.
    static bool openOrCreate(Database &db, QString *problem);
    // The statements of one schema step, 1 to kSchemaVersion, in their order.
    static QStringList schemaStatements(int version);
};
