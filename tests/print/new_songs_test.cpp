#include "print_fixture.h"

#include "print/new_songs.h"

using namespace BookLayout;

namespace {

using Answer = MessageBoxes::Answer;

class NewSongsList : public PrintTest
{
protected:
    // Prints single-sided and gives the section titles of the pages.
    QStringList printSections(const QString &date, const QString &keyword, PrintResult expected = PrintResult::Done)
    {
        fakes.printer.documents.clear();
        fakes.messageBoxes.shown.clear();
        fakes.messageBoxes.answers = {Answer::No};
        EXPECT_EQ(print_new(state, fakes.services, date, keyword, PrintTarget::Printer), expected);
        QStringList titles;
        for (const FakePrinter::Document &document : fakes.printer.documents) {
            for (const FakePrinter::Page &page : document.pages)
                titles.append(sectionTitle(page));
        }
        return titles;
    }
};

TEST_F(NewSongsList, ListsTheSongsSinceTheDateBySectionsOfKind)
{
    addSongs(1, 3, 2, QStringLiteral("2026/01/05"));
    addSongs(1, 5, 1, QStringLiteral("2026/01/04"));
    addSongs(1, 6, 20, QStringLiteral("2026/02/01"));
    addSongs(7, 4, 1, QStringLiteral("2026/03/01"));

    // All lengths of a kind run on in one section; a date without leading zeros is read as
    // 2026/01/05.
    EXPECT_EQ(printSections(QStringLiteral("2026/1/5"), QString()),
              QStringList({"新進國語歌曲 ", "新進國語歌曲 ", "新進粵語歌曲 "}));
    const FakePrinter::Page &first = fakes.printer.documents[0].pages[0];
    EXPECT_EQ(songTitles(first).first(), title(3, 1));
    EXPECT_EQ(songTitles(first).value(2), title(6, 1));
    EXPECT_EQ(pageLabel(fakes.printer.documents[0].pages[2]), "第 3頁");
    EXPECT_EQ(fakes.messageBoxes.shown, QStringList{"請問您是否要印成雙面?"});

    EXPECT_EQ(printSections(QStringLiteral(" 2026-03-01 "), QStringLiteral("  01 ")), QStringList{"精選粵語01歌曲"});
}

TEST_F(NewSongsList, AKeywordMeansItselfApostrophesPercentsAndAll)
{
    const struct
    {
        QString name;
        bool matches;
    } songs[] = {{"愛你100%", true}, {"愛你1000", false}, {"Rock'n'Roll", true}, {"Rock n Roll", false}};
    for (int i = 0; i < 4; ++i)
        catalogue.addSong(number(3, 8, i + 1), 3, songs[i].name, singerCode);

    for (const QString &keyword : {QStringLiteral("100%"), QStringLiteral("k'n'R")}) {
        SCOPED_TRACE(keyword.toStdString());
        EXPECT_EQ(printSections(QStringLiteral("2026/01/01"), keyword), QStringList{"精選英語" + keyword + "歌曲"});
        const QStringList titles = songTitles(fakes.printer.documents[0].pages[0]);
        EXPECT_EQ(titles.size(), 1);
        for (const auto &song : songs)
            EXPECT_EQ(titles.contains(song.name), song.matches && song.name.contains(keyword, Qt::CaseInsensitive));
    }
}

TEST_F(NewSongsList, ABadDateOrNoMatchIsToldAndNothingPrinted)
{
    addSongs(1, 3, 1, QStringLiteral("2026/01/05"));
    for (const QString date : {"", "2026/13/01", "2026/2/30", "明天", "2026/01"}) {
        SCOPED_TRACE(date.toStdString());
        EXPECT_TRUE(printSections(date, QString(), PrintResult::BadDate).isEmpty());
        EXPECT_EQ(fakes.messageBoxes.shown, QStringList{"請指定好起始列印的日期"});
    }
    EXPECT_TRUE(printSections(QStringLiteral("2026/1/6"), QStringLiteral("愛"), PrintResult::NoData).isEmpty());
    EXPECT_EQ(fakes.messageBoxes.shown, QStringList{"沒有2026/1/6以後 or 有關\"愛\"的相關資料"});

    // A keyword longer than any title is refused before the catalogue is asked, for the list
    // and the spreadsheet alike.
    for (const PrintTarget target : {PrintTarget::Printer, PrintTarget::Excel}) {
        fakes.messageBoxes.shown.clear();
        EXPECT_EQ(print_new(state, fakes.services, "2026/1/1", QString(60000, 'a'), target), PrintResult::BadKeyword);
        EXPECT_EQ(fakes.messageBoxes.shown, QStringList{"關建字太長, 最多 254 個字"});
    }
    EXPECT_TRUE(printSections(QStringLiteral("2026/1/1"), QString(254, QChar(0x611B)), PrintResult::NoData).isEmpty());
    EXPECT_TRUE(fakes.printer.documents.isEmpty());
    EXPECT_TRUE(fakes.fileDialogs.asked.isEmpty());
}

} // namespace
