#pragma once

#include "print/print_services.h"

#include "catalogue/song_listing.h"

#include <vector>

struct NewSongsFilter;
struct SharedState;

// Writes the songs of the filter to a spreadsheet laid out for printing: blocks of a header
// row and 25 songs, one block to a printed page, the singers of a number joined by "+"; the
// owner names the file. Throws DatabaseError when the catalogue cannot be read.
PrintResult exportNewSongs(SharedState &state, PrintServices &services, const NewSongsFilter &filter);

// Writes songs in the same layout (number, title, singer), the owner naming the file in folder.
PrintResult exportSongList(PrintServices &services, const std::vector<ListedSong> &songs, const QString &folder);
