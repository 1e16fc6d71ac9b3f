#pragma once

#include <QString>

#include <array>

class ServerConnection;

// The tables of the venue's catalogue server: numbered SQL files, applied in order, each
// server recording the number it has reached in venue_catalogue.
namespace ServerSchema {

inline constexpr std::array kFiles = {":/venue_schema/001_venue_catalogue.sql",
                                      ":/venue_schema/002_loudness_file.sql",
                                      ":/venue_schema/003_loudness_claims.sql"};
inline constexpr int kVersion = int(kFiles.size());

// Creates the tables on an empty server, or brings an older one up to kVersion, in one
// transaction under a lock, so that two rooms starting at once do it once. Throws
// CatalogueUnreachable for a server of a newer version, which this program must not write to.
void prepare(ServerConnection &server);

// The catalogue the server holds now: a new one after every replacing push.
QString catalogueId(ServerConnection &server);

} // namespace ServerSchema
