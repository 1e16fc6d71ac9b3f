#include "print/book_pass.h"

#include "platform/printer.h"
#include "print/book_layout.h"

using namespace BookLayout;

BookPass::BookPass(Printer &printer, BookSections sections, PassPages pages, int total)
    : m_printer(printer)
    , m_sections(std::move(sections))
    , m_pages(pages)
    , m_total(total)
{
}

bool BookPass::drawsPage() const
{
    switch (m_pages) {
    case PassPages::Odd:
        return m_page % 2 == 1;
    case PassPages::Even:
        return m_page % 2 == 0;
    case PassPages::All:
        break;
    }
    return true;
}

bool BookPass::breaksSection(const ListedSong &row) const
{
    if (m_row > kLastRow || row.kind != m_sectionKind)
        return true;
    if (!m_sections.byLength || m_sectionLength >= kManyCharacters)
        return false;
    return row.textCount != m_sectionLength;
}

void BookPass::startPage(const ListedSong &row)
{
    ++m_page;
    m_row = kHeaderRow + 1;
    if (!drawsPage())
        return;
    paint_table(m_printer);
    printFitted(m_printer, kSectionTitleX, kHeadingY, m_sections.title(row.kind, row.textCount), kPageLabelX - kCm / 5);
    m_printer.setCurrentX(kPageLabelX);
    m_printer.setCurrentY(kHeadingY);
    m_printer.print(QStringLiteral("第 ") + QString::number(m_page) + QStringLiteral("頁"));
    print_data(m_printer, kHeaderRow, QStringLiteral("歌曲名稱"), QStringLiteral("編號"), QStringLiteral("演唱者"));
}

bool BookPass::add(const ListedSong &row)
{
    if (!m_started) {
        m_started = true;
        m_sectionKind = row.kind;
        m_sectionLength = row.textCount;
    } else if (breaksSection(row)) {
        if (drawsPage())
            m_printer.newPage();
        m_row = kHeaderRow;
        m_sectionKind = row.kind;
        m_sectionLength = row.textCount;
    }
    if (m_row == kHeaderRow) {
        if (!m_printer.progress(m_done, m_total))
            return false;
        startPage(row);
    }
    if (drawsPage())
        print_data(m_printer, m_row, row.name, row.num, row.singer);
    ++m_row;
    ++m_done;
    return true;
}
