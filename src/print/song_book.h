#pragma once

#include "print/print_services.h"

struct Services;
struct SharedState;

// The manager menu's "列印全部目錄": the whole catalogue as a song book, by kind, title length
// and title, single- or double-sided as the owner answers.
PrintResult print_all(SharedState &state, Services &services);

// The same run with the sides given or asked; the command line prints single-sided.
PrintResult printSongBook(SharedState &state, PrintServices services, Sides sides);
