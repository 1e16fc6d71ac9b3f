#pragma once

#include "print/print_services.h"

#include <QtGlobal>

struct SharedState;

// The charts on paper or in a spreadsheet, in the song book's table: the 100 most sung songs of
// the last 30 days, then of the whole history, each a section with its place before the title.
// Songs deleted from the catalogue since are left out, as the lists that order them do. now is
// in seconds since 1970.
PrintResult printCharts(SharedState &state, PrintServices &services, qint64 now);
PrintResult exportCharts(SharedState &state, PrintServices &services, qint64 now);
