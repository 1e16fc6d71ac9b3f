#pragma once

class Clock;
class FileDialogs;
class MessageBoxes;
class Printer;
class SpreadsheetFactory;
struct Services;

// What printing reaches of the outside world: the windows pass the real services, the
// command-line tasks a PDF file, a given file name and messages on the console.
struct PrintServices
{
    Printer &printer;
    SpreadsheetFactory &spreadsheets;
    MessageBoxes &messageBoxes;
    FileDialogs &fileDialogs;
    Clock &clock;
};

// The windows' services as printing uses them.
PrintServices printServicesOf(Services &services);

// Single- or double-sided, or ask the owner ("請問您是否要印成雙面?").
enum class Sides { AskOwner, Single, Double };

// How a printing or export run ended; the owner has been told what went wrong.
enum class PrintResult {
    Done,
    Stopped, // cancelled by the owner, or the printer, the file or the catalogue failed
    BadDate,
    BadKeyword, // longer than any title
    NoData,
};
