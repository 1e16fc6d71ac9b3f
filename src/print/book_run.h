#pragma once

#include "print/book_pass.h"
#include "print/print_services.h"

#include <QString>

#include <functional>
#include <optional>
#include <vector>

class MessageBoxes;
struct SharedState;

// A song book to print: its songs and how they fall into sections.
struct BookToPrint
{
    QString title; // of the document, shown in the preview and the file name
    SongFilter songs;
    BookSections sections;
};

// Sets the book's font, "標楷體" at 24 points, once before the first page.
void setBookFont(PrintServices &services);
// Double-sided (true) or not; nullopt when the owner cancelled the question.
std::optional<bool> chooseDoubleSided(MessageBoxes &messageBoxes, Sides sides);
// Prints the book of total songs, single-sided or in two passes with the owner turning the
// paper over in between.
PrintResult printBook(SharedState &state, PrintServices &services, const BookToPrint &book, bool doubleSided, int total);
// Prints a list of songs made elsewhere (the charts) single-sided, in the book's layout.
PrintResult printSongList(PrintServices &services, const QString &title, const BookSections &sections,
                          const std::vector<ListedSong> &songs);
// Runs a printing task, telling the owner when the catalogue cannot be read.
PrintResult reportingCatalogueErrors(MessageBoxes &messageBoxes, const std::function<PrintResult()> &task);
