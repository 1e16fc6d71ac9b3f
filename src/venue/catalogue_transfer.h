#pragma once

#include <QString>

class Database;
class VenueRoom;

// Starting a venue: the first room's catalogue is put on the server, and every other room makes
// its copy from there. Each returns what it did in one line, and throws CatalogueUnreachable
// when the server cannot be reached and DatabaseError when it refuses (nothing changed then).

// Copies the room's catalogue (db) to the server in one transaction, keeping every song's row
// and singer's code, then makes the room's copy from the server. A server that holds songs or
// singers already is refused unless replace is given; the rooms then copy the new catalogue whole.
QString pushCatalogue(VenueRoom &room, Database &db, bool replace);
// Replaces the room's copy with the server's catalogue, whatever the copy held.
QString pullCatalogue(VenueRoom &room);
