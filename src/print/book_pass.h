#pragma once

#include "catalogue/song_listing.h"

#include <QString>

#include <functional>

class Printer;


// How a run cuts the songs into sections, each starting on a new page, and what each is called.
struct BookSections
{
    // By kind and title length, all titles of kManyCharacters or more in one section; or by
    // kind alone.
    bool byLength = true;
    std::function<QString(int kind, int textCount)> title;
};

// Titles of this many characters or more share one section of their kind.
constexpr int kManyCharacters = 11;

// The pages one pass draws. A double-sided book is printed in two passes with the same
// pagination: the odd pages, then, with the paper turned over, the even ones.
enum class PassPages { All, Odd, Even };

// One pass over the songs in book order: sections, pages of 21 songs under a header row,
// page labels numbered through the whole book. Pages of the other side are counted but
// not drawn.
class BookPass
{
public:
    BookPass(Printer &printer, BookSections sections, PassPages pages, int total);
    // Prints the next song; false when the owner cancelled the document.
    bool add(const ListedSong &row);
    int pageCount() const { return m_page; }

private:
    bool breaksSection(const ListedSong &row) const;
    bool drawsPage() const;
    void startPage(const ListedSong &row);

    Printer &m_printer;
    BookSections m_sections;
    PassPages m_pages;
    int m_total;
    int m_done = 0;
    int m_row = 1;
    int m_page = 0;
    bool m_started = false;
    int m_sectionKind = 0;
    int m_sectionLength = 0;
};
