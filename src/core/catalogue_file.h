#pragma once

#include <QString>
#include <QStringList>

#include <array>

class Database;

// The catalogue file karaoke.mdb: created with its schema when missing, brought up to the
// newest schema version when older, kept in write-ahead-log mode so that readers never wait for
// a writer nor a writer for a reader. A file that is not a catalogue of a schema this program
// knows is never written to.
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
                                           ":/schema/008_play_queue.sql",
                                           ":/schema/009_plain_catalogue.sql",
                                           ":/schema/010_loudness_file_stamp.sql",
                                           ":/schema/011_play_history.sql"};
    static constexpr int kSchemaVersion = int(kSchemaFiles.size());

    // Returns false and says what is wrong with which file when the program cannot use it.
    static bool openOrCreate(Database &db, QString *problem);
    // The statements of one schema step, 1 to kSchemaVersion, in their order.
    static QStringList schemaStatements(int version);
    // The statements that make the triggers of the newest schema (derived_rows.sql).
    static QStringList triggerStatements();
    // Makes the newest schema's triggers that are missing; true when it made any.
    static bool restoreTriggers(Database &db);
    // Puts every change still in the write-ahead log into the file and closes db, so the file
    // alone is the whole catalogue (copied, backed up) once the program has ended.
    static void closeCleanly(Database &db);
};
