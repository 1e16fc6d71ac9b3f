#include "print_fixture.h"
#include "xlsx_reader.h"

#include "platform/xlsx_spreadsheet.h"
#include "print/new_songs.h"

#include <QDir>
#include <QFile>

namespace {

class NewSongsExport : public PrintTest
{
protected:
    // Exports everything since 2026/01/01 into out.xlsx, as if the owner named that file.
    PrintResult exportTo(const QString &path, const QString &keyword = QString())
    {
        fakes.fileDialogs.answers = {path};
        return print_new(state, fakes.services, QStringLiteral("2026/01/01"), keyword, PrintTarget::Excel);
    }

    QString out = home.file("out.xlsx");
};

QString ref(char column, int row)
{
    return QLatin1Char(column) + QString::number(row);
}

TEST_F(NewSongsExport, BlocksOf25SongsUnderAHeaderRowEachOnItsOwnRuledPage)
{
    addSongs(1, 3, 60);

    ASSERT_EQ(exportTo(out), PrintResult::Done);

    EXPECT_EQ(fakes.fileDialogs.asked,
              QStringList{home.path() + "/|Tolvek_Karaoke20261205.xlsx|Excel Files(*.xlsx)"});
    const XlsxReader sheet(out);
    ASSERT_TRUE(sheet.problem().isEmpty()) << sheet.problem().toStdString();
    for (int header : {1, 27, 53}) {
        EXPECT_EQ(sheet.text(ref('A', header)), "編號");
        EXPECT_EQ(sheet.text(ref('B', header)), "歌曲名稱");
        EXPECT_EQ(sheet.text(ref('C', header)), "演唱者");
    }
    const struct
    {
        int row;
        int serial;
    } songs[] = {{2, 1}, {26, 25}, {28, 26}, {52, 50}, {54, 51}, {63, 60}};
    for (const auto &song : songs) {
        EXPECT_EQ(sheet.text(ref('A', song.row)), number(1, 3, song.serial));
        EXPECT_EQ(sheet.text(ref('B', song.row)), title(3, song.serial));
        EXPECT_EQ(sheet.text(ref('C', song.row)), "歌手甲");
    }
    EXPECT_EQ(sheet.breaksBefore(), QList<int>({27, 53}));

    // The third block is ruled over its full 26 rows: medium outside, thin inside.
    EXPECT_EQ(sheet.borders("A53"), "medium medium thin thin");
    EXPECT_EQ(sheet.borders("B60"), "thin thin thin thin");
    EXPECT_EQ(sheet.borders("C70"), "thin thin medium thin");
    EXPECT_EQ(sheet.borders("A78"), "medium thin thin medium");
    EXPECT_EQ(sheet.borders("C78"), "thin thin medium medium");
    EXPECT_EQ(sheet.borders("B26"), "thin thin thin medium");
    EXPECT_EQ(sheet.borders("B27"), "thin medium thin thin");
    EXPECT_FALSE(sheet.hasCell("A79"));
    EXPECT_EQ(sheet.lastRow(), 78);

    EXPECT_EQ(sheet.font("B2"), "標楷體 25");
    EXPECT_EQ(sheet.font("A78"), "標楷體 25");
    EXPECT_EQ(sheet.pageSetup("scale"), "70");
    EXPECT_EQ(sheet.pageSetup("paperSize"), "9");
    EXPECT_EQ(sheet.pageSetup("horizontalCentered"), "1");
    EXPECT_TRUE(sheet.pageSetup("verticalCentered").isEmpty());
    EXPECT_EQ(sheet.header(), "&R列印日期 : 2026/12/05");
    EXPECT_EQ(sheet.footer(), "&C第 &P 頁，共 &N 頁");
    // Columns as wide as their longest text (the file keeps widths in whole pixels).
    EXPECT_NEAR(sheet.columnWidth(1), XlsxSpreadsheet::columnWidthFor(number(1, 3, 1), 25), 1);
    EXPECT_NEAR(sheet.columnWidth(2), XlsxSpreadsheet::columnWidthFor("歌曲名稱", 25), 1);
    EXPECT_GT(sheet.columnWidth(2), sheet.columnWidth(1));
}

TEST_F(NewSongsExport, TwentyFiveSongsMakeOnePageAndTwentySixTwo)
{
    addSongs(2, 4, 25);
    ASSERT_EQ(exportTo(out), PrintResult::Done);
    {
        const XlsxReader sheet(out);
        EXPECT_TRUE(sheet.breaksBefore().isEmpty());
        EXPECT_EQ(sheet.lastRow(), 26);
        EXPECT_EQ(sheet.borders("C26"), "thin thin medium medium");
    }

    addSongs(2, 5, 1);
    ASSERT_EQ(exportTo(out), PrintResult::Done);
    const XlsxReader sheet(out);
    EXPECT_EQ(sheet.breaksBefore(), QList<int>{27});
    EXPECT_EQ(sheet.text("A27"), "編號");
    EXPECT_EQ(sheet.text("B28"), title(5, 1));
    EXPECT_TRUE(sheet.text("B29").isEmpty());
    EXPECT_EQ(sheet.lastRow(), 52);
    EXPECT_EQ(sheet.borders("A52"), "medium thin thin medium");
}

TEST_F(NewSongsExport, ASheetWithMorePagesThanItsBreaksCanHoldIsWrittenAndTheOwnerToldWhereBreaksEnd)
{
    addSongs(1, 3, 1025 * 25); // 1025 blocks need 1024 breaks

    ASSERT_EQ(exportTo(out), PrintResult::Done);

    const XlsxReader sheet(out);
    const QList<int> breaks = sheet.breaksBefore();
    EXPECT_EQ(breaks.size(), 1023);
    EXPECT_EQ(breaks.value(1022), 26 * 1023 + 1);
    EXPECT_EQ(sheet.lastRow(), 26 * 1025);
    EXPECT_EQ(fakes.messageBoxes.shown, QStringList{"試算表最多只能分成 1024 頁, 第 25601 首以後的歌曲不再一頁 25 首; "
                                                   "請用較晚的日期或關建字分次匯出"});
}

TEST_F(NewSongsExport, ANumberSungByTwoSingersFillsOneRowWithBothNames)
{
    const qint64 second = catalogue.addSinger(QStringLiteral("歌手乙"), 1);
    catalogue.addSong(QStringLiteral("104001"), 1, QStringLiteral("對唱情歌"), singerCode);
    catalogue.addSong(QStringLiteral("104001"), 1, QStringLiteral("對唱情歌"), second, QString(), QStringLiteral("2020/01/01"));
    catalogue.addSong(QStringLiteral("104002"), 1, QStringLiteral("獨唱情歌"), second);

    ASSERT_EQ(exportTo(out, QStringLiteral("情歌")), PrintResult::Done);

    const XlsxReader sheet(out);
    EXPECT_EQ(sheet.text("A2"), "104001");
    EXPECT_EQ(sheet.text("C2"), "歌手甲+歌手乙");
    EXPECT_EQ(sheet.text("C3"), "歌手乙");
    EXPECT_TRUE(sheet.text("A4").isEmpty());
}

TEST_F(NewSongsExport, NothingIsWrittenUnlessTheOwnerNamesTheFile)
{
    addSongs(1, 3, 3);
    home.write("out.xlsx", "earlier export");

    EXPECT_EQ(exportTo(QString()), PrintResult::Stopped);
    EXPECT_EQ(home.read("out.xlsx"), "earlier export");
    EXPECT_EQ(QDir(home.path()).entryList({"*.xlsx"}, QDir::Files | QDir::Hidden), QStringList{"out.xlsx"});

    // A file the owner agreed to replace is replaced whole, and others may read it as before.
    QFile::setPermissions(out, QFile::permissions(out) | QFileDevice::ReadGroup | QFileDevice::ReadOther);
    EXPECT_EQ(exportTo(out), PrintResult::Done);
    EXPECT_EQ(XlsxReader(out).text("B4"), title(3, 3));
    EXPECT_TRUE(QFile::permissions(out) & QFileDevice::ReadOther);
    const QString fresh = home.file("fresh.xlsx");
    EXPECT_EQ(exportTo(fresh), PrintResult::Done);
    QFile plain(home.file("plain"));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    EXPECT_EQ(QFile::permissions(fresh), plain.permissions()); // as any new file of the owner's
    EXPECT_EQ(QDir(home.path()).entryList({"*.xlsx"}, QDir::Files | QDir::Hidden), QStringList({"fresh.xlsx", "out.xlsx"}));

    // A folder that cannot be written: the owner is told, the run stops.
    EXPECT_EQ(exportTo(home.file("missing/out.xlsx")), PrintResult::Stopped);
    EXPECT_TRUE(fakes.messageBoxes.shown.last().startsWith("無法寫入 " + home.file("missing/out.xlsx")));

    fakes.messageBoxes.shown.clear();
    EXPECT_EQ(exportTo(out, QStringLiteral("沒這首")), PrintResult::NoData);
    EXPECT_EQ(fakes.messageBoxes.shown, QStringList{"沒有2026/01/01以後 or 有關\"沒這首\"的相關資料"});
}

} // namespace
