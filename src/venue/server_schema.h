#pragma once

#include <QString>

#include <array>

class ServerConnection;

// The tables of the venue's catalogue server: numbered SQL files, applied in order, each
// server recording the number it has reached in venue_catalogue.
namespace ServerSchema {

inline constexpr std::array kFiles = {":/venue_schema/001_venue_catalogue.sql",
                                      ":/venue_schema/002_loudness_file.sql",
                                      ":/venue_schema/003_catalogue_place.sql",
                                      ":/venue_schema/004_loudness_claims.sql"};
inline constexpr int kVersion = int(kFiles.size());

// Brings the tables of a server that holds a catalogue up to kVersion, in one transaction under
// a lock, so that two rooms starting at once do it once, and gives the catalogue a new id when it
// was put back from a dump (its place changed). False when the server holds no catalogue: only
// create() makes one. Throws CatalogueUnreachable for a server of a newer version, which this
// program must not write to.
bool prepare(ServerConnection &server);
// prepare(), refusing a server without a catalogue ("曲目伺服器的目錄是空的").
void requireCatalogue(ServerConnection &server);
// Makes the tables of an empty catalogue on a server without one (starting a venue), else prepare().
void create(ServerConnection &server);

// The catalogue the server holds now: a new one after every replacing push and every dump put back.
QString catalogueId(ServerConnection &server);

} // namespace ServerSchema
