#pragma once

#include "print/print_services.h"

#include <QString>

struct Services;
struct SharedState;

// The two options of the box "列印選項".
enum class PrintTarget {
    Printer, // "預設印表機"
    Excel,   // "Excel"
};

// The manager menu's "條件列印": the songs registered on or after the typed date whose title
// holds the keyword, printed as a list by kind or exported as a spreadsheet.
PrintResult print_new(SharedState &state, Services &services, const QString &startDateText,
                      const QString &keywordText, PrintTarget target);

// The same run with the sides given or asked; the command line prints single-sided and
// names its files itself.
PrintResult printNewSongs(SharedState &state, PrintServices services, const QString &startDateText,
                          const QString &keywordText, PrintTarget target, Sides sides);
