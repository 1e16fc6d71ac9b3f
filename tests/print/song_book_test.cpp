#include "print_fixture.h"

#include "print/song_book.h"

using namespace BookLayout;

namespace {

using Answer = MessageBoxes::Answer;

class SongBook : public PrintTest
{
};

TEST_F(SongBook, SectionsOfKindAndLengthFillPagesOf21SongsUnderAHeaderRow)
{
    addSongs(1, 3, 30);
    addSongs(1, 4, 1);
    addSongs(7, 2, 1);
    fakes.messageBoxes.answers = {Answer::No};

    EXPECT_EQ(print_all(state, fakes.services), PrintResult::Done);

    EXPECT_EQ(fakes.messageBoxes.shown, QStringList{"請問您是否要印成雙面?"});
    ASSERT_EQ(fakes.printer.documents.size(), 1);
    const FakePrinter::Document &book = fakes.printer.documents[0];
    EXPECT_TRUE(book.ended);
    ASSERT_EQ(book.pages.size(), 4);
    const struct
    {
        QString title;
        QString label;
        int songs;
        QString first;
    } expected[] = {
        {"國語-- 3字部", "第 1頁", 21, title(3, 1)},
        {"國語-- 3字部", "第 2頁", 9, title(3, 22)},
        {"國語-- 4字部", "第 3頁", 1, title(4, 1)},
        {"粵語-- 2字部", "第 4頁", 1, title(2, 1)},
    };
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        const FakePrinter::Page &page = book.pages[i];
        EXPECT_EQ(sectionTitle(page), expected[i].title);
        EXPECT_EQ(pageLabel(page), expected[i].label);
        const QStringList titles = songTitles(page);
        EXPECT_EQ(titles.size(), expected[i].songs);
        EXPECT_EQ(titles.value(0), expected[i].first);
        // The full ruled table, however few songs the page holds: 22 rules, 4 bars per row, the closing rule.
        EXPECT_EQ(page.boxes.size(), 22 * 5 + 1);
        EXPECT_EQ(page.at(kTitleX, textY(1)), "歌曲名稱");
        EXPECT_EQ(page.at(kNumberX, textY(1)), "編號");
        EXPECT_EQ(page.at(kSingerX, textY(1)), "演唱者");
        for (const FakePrinter::Text &text : page.texts) {
            EXPECT_EQ(text.font, "標楷體");
            EXPECT_EQ(text.size, 24);
        }
    }
    EXPECT_EQ(cell(book.pages[1], kNumberX, 2), number(1, 3, 22));
    EXPECT_EQ(cell(book.pages[1], kSingerX, 2), "歌手甲");
}

TEST_F(SongBook, TitlesOfElevenCharactersAndMoreShareOneSectionOfTheirKind)
{
    addSongs(3, 10, 1);
    addSongs(3, 11, 1);
    addSongs(3, 14, 1);
    fakes.messageBoxes.answers = {Answer::No};

    print_all(state, fakes.services);

    const QList<FakePrinter::Page> &pages = fakes.printer.documents.value(0).pages;
    ASSERT_EQ(pages.size(), 2);
    EXPECT_EQ(sectionTitle(pages[0]), "英語-- 10字部");
    EXPECT_EQ(songTitles(pages[0]), QStringList{title(10, 1)});
    EXPECT_EQ(sectionTitle(pages[1]), "英語-- 多字部");
    EXPECT_EQ(songTitles(pages[1]), QStringList({title(11, 1), title(14, 1)}));
}

TEST_F(SongBook, ANewKindStartsANewPageWhateverTheTitleLength)
{
    addSongs(2, 3, 1);
    addSongs(3, 3, 1);
    addSongs(3, 12, 1);
    addSongs(4, 12, 1);
    fakes.messageBoxes.answers = {Answer::No};

    print_all(state, fakes.services);

    EXPECT_EQ(printedPages(), "第 1頁 第 2頁 第 3頁 第 4頁");
    const QList<FakePrinter::Page> &pages = fakes.printer.documents.value(0).pages;
    ASSERT_EQ(pages.size(), 4);
    EXPECT_EQ(sectionTitle(pages[1]), "英語-- 3字部");
    EXPECT_EQ(sectionTitle(pages[3]), "日語-- 多字部");
}

TEST_F(SongBook, DoubleSidedPrintsTheOddPagesThenTheEvenOnesNumberedAsTheWholeBook)
{
    addSongs(1, 3, 4 * 21 + 5); // five pages
    fakes.messageBoxes.answers = {Answer::Yes};

    EXPECT_EQ(print_all(state, fakes.services), PrintResult::Done);

    // The even pages end on a break with nothing after it, which the printer drops.
    EXPECT_EQ(printedPages(), "第 1頁 第 3頁 第 5頁 | 第 2頁 第 4頁 -");
    EXPECT_EQ(fakes.messageBoxes.shown,
              QStringList({"請問您是否要印成雙面?", "開始處理列印, 按下\"確定\"按鍵, 將會開始印第 1,3,5,7,9....頁",
                           "單數頁資料處理完畢, 等印表機把單數頁印完後, 請將紙反過來, 將會印第 2,4,6,8,10....頁, "
                           "請注意您紙張的排列"}));
    EXPECT_EQ(songTitles(fakes.printer.documents[1].pages[0]).value(0), title(3, 22));
    EXPECT_EQ(songTitles(fakes.printer.documents[0].pages[2]), QStringList({title(3, 85), title(3, 86), title(3, 87),
                                                                              title(3, 88), title(3, 89)}));
    EXPECT_TRUE(fakes.printer.documents[0].ended && fakes.printer.documents[1].ended);
}

TEST_F(SongBook, NothingIsPrintedWhenTheOwnerCancelsOrTheCatalogueIsEmpty)
{
    fakes.messageBoxes.answers = {Answer::No};
    EXPECT_EQ(print_all(state, fakes.services), PrintResult::NoData);
    EXPECT_EQ(fakes.messageBoxes.shown, QStringList({"請問您是否要印成雙面?", "沒有資料"}));

    addSongs(1, 3, 50);
    fakes.messageBoxes.shown.clear();
    fakes.messageBoxes.answers = {Answer::Cancel};
    EXPECT_EQ(print_all(state, fakes.services), PrintResult::Stopped);
    EXPECT_EQ(fakes.messageBoxes.shown, QStringList{"請問您是否要印成雙面?"});
    EXPECT_TRUE(fakes.printer.documents.isEmpty());

    // The preview of the odd pages is closed: the even pages are not asked for.
    fakes.messageBoxes.shown.clear();
    fakes.messageBoxes.answers = {Answer::Yes};
    fakes.printer.previewAnswers = {false};
    EXPECT_EQ(print_all(state, fakes.services), PrintResult::Stopped);
    EXPECT_EQ(fakes.messageBoxes.shown.size(), 2);
    EXPECT_EQ(fakes.printer.documents.size(), 1);

    // Cancelled from the progress on the second page: the document is never ended.
    fakes.printer.documents.clear();
    fakes.messageBoxes.answers = {Answer::No};
    fakes.printer.progressCalls = 0;
    fakes.printer.cancelAtProgressCall = 1;
    EXPECT_EQ(print_all(state, fakes.services), PrintResult::Stopped);
    ASSERT_EQ(fakes.printer.documents.size(), 1);
    EXPECT_EQ(printedPages(), "第 1頁 -");
    EXPECT_FALSE(fakes.printer.documents[0].ended);
}

TEST_F(SongBook, ACatalogueThatCannotBeReadIsToldAndNothingIsPrinted)
{
    addSongs(1, 3, 5);
    catalogue.database().ExecuteSql(QStringLiteral("DROP TABLE singer"));
    fakes.messageBoxes.answers = {Answer::No};

    EXPECT_EQ(print_all(state, fakes.services), PrintResult::Stopped);

    ASSERT_EQ(fakes.messageBoxes.shown.size(), 2);
    EXPECT_TRUE(fakes.messageBoxes.shown[1].startsWith("無法讀取資料庫 (")) << fakes.messageBoxes.shown[1].toStdString();
    ASSERT_EQ(fakes.printer.documents.size(), 1);
    EXPECT_FALSE(fakes.printer.documents[0].ended);
}

TEST_F(SongBook, TextsStayInsideTheirCells)
{
    const qint64 band = catalogue.addSinger(QStringLiteral("The Long Band Name Orchestra"), 2);
    const QString longTitle = QString(20, QChar(0x611B));
    catalogue.addSong(QStringLiteral("120001"), 1, longTitle, band);
    catalogue.addSong(QStringLiteral("103001"), 1, QStringLiteral("無人唱"), 9999);
    fakes.messageBoxes.answers = {Answer::No};

    print_all(state, fakes.services);

    const QList<FakePrinter::Page> &pages = fakes.printer.documents.value(0).pages;
    ASSERT_EQ(pages.size(), 2);
    EXPECT_EQ(cell(pages[0], kSingerX, 2), "找不到");
    EXPECT_EQ(fakes.printer.fontSize(), 24); // back to the book's size after a smaller text
    const struct
    {
        QString text;
        double right;
    } cells[] = {{longTitle, 12.1 * kCm}, {"The Long Band Name Orchestra", 19.3 * kCm}};
    for (const auto &wide : cells) {
        SCOPED_TRACE(wide.text.toStdString());
        const auto text = std::find_if(pages[1].texts.begin(), pages[1].texts.end(),
                                       [&](const FakePrinter::Text &t) { return t.text == wide.text; });
        ASSERT_NE(text, pages[1].texts.end());
        EXPECT_LT(text->size, 24);
        fakes.printer.setFontSize(text->size);
        EXPECT_LE(text->x + fakes.printer.textWidth(text->text), wide.right);
        EXPECT_GT(text->y, textY(2)); // centred on the row's line
    }
}

} // namespace
