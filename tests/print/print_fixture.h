#pragma once

#include "core/scoped_transaction.h"
#include "print/book_layout.h"
#include "support/jukebox_fixture.h"

// A started program folder with its catalogue, the fake services and helpers to fill it.
class PrintTest : public JukeboxFixture
{
protected:
    void SetUp() override
    {
        JukeboxFixture::SetUp();
        singerCode = catalogue.addSinger(QStringLiteral("歌手甲"), 0);
    }

    // A title of length characters that sorts by serial: "07" followed by "歌" repeated.
    static QString title(int length, int serial)
    {
        return QStringLiteral("%1").arg(serial, 2, 10, QLatin1Char('0')) + QString(length - 2, QChar(0x6B4C));
    }

    static QString number(int kind, int length, int serial)
    {
        return QStringLiteral("%1%2%3").arg(kind).arg(length, 2, 10, QLatin1Char('0')).arg(serial, 3, 10, QLatin1Char('0'));
    }

    // count songs of one kind and title length, registered on date.
    void addSongs(int kind, int length, int count, const QString &date = QStringLiteral("2026/12/01"))
    {
        ScopedTransaction transaction(catalogue.database());
        for (int i = 1; i <= count; ++i)
            catalogue.addSong(number(kind, length, i), kind, title(length, i), singerCode, QString(), date);
        transaction.commit();
    }

    // The text in a table cell: printed at the column's x, at the row's line or a little below
    // it when it was made smaller to fit.
    static QString cell(const FakePrinter::Page &page, double x, int row)
    {
        for (const FakePrinter::Text &text : page.texts) {
            const double below = text.y - BookLayout::textY(row);
            if (qAbs(text.x - x) < 0.01 && below > -0.01 && below < BookLayout::kCm / 2)
                return text.text;
        }
        return QString();
    }

    // The titles printed in the song rows of a page, top to bottom.
    static QStringList songTitles(const FakePrinter::Page &page)
    {
        QStringList titles;
        for (int row = 2; row <= BookLayout::kLastRow; ++row) {
            const QString text = cell(page, BookLayout::kTitleX, row);
            if (!text.isEmpty())
                titles.append(text);
        }
        return titles;
    }

    static QString sectionTitle(const FakePrinter::Page &page)
    {
        return page.at(BookLayout::kSectionTitleX, BookLayout::kHeadingY);
    }

    static QString pageLabel(const FakePrinter::Page &page)
    {
        return page.at(BookLayout::kPageLabelX, BookLayout::kHeadingY);
    }

    // Every page's label, document by document, "-" for a page with nothing on it:
    // "第 1頁 第 3頁 | 第 2頁 -".
    QString printedPages() const
    {
        QStringList documents;
        for (const FakePrinter::Document &document : fakes.printer.documents) {
            QStringList labels;
            for (const FakePrinter::Page &page : document.pages)
                labels.append(page.isEmpty() ? QStringLiteral("-") : pageLabel(page));
            documents.append(labels.join(QLatin1Char(' ')));
        }
        return documents.join(QStringLiteral(" | "));
    }

    qint64 singerCode = 0;
};
