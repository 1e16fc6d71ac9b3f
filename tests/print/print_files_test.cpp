#include "print_fixture.h"
#include "xlsx_reader.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>

namespace {

// The karaoke program's printing tasks, run as the owner runs them, and the files they write
// read back with the PDF tools.
class PrintedFiles : public PrintTest
{
protected:
    struct Run
    {
        int exitCode = -1;
        QString out;
        QString err;
    };

    Run karaoke(const QStringList &arguments)
    {
        QProcess process;
        process.start(QStringLiteral(KARAOKE_EXECUTABLE), QStringList{"--home", home.path()} + arguments);
        EXPECT_TRUE(process.waitForFinished(120000));
        return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
                QString::fromUtf8(process.readAllStandardError())};
    }

    static QString tool(const QString &program, const QStringList &arguments)
    {
        QProcess process;
        process.start(program, arguments);
        EXPECT_TRUE(process.waitForFinished(60000));
        EXPECT_EQ(process.exitCode(), 0) << program.toStdString();
        return QString::fromUtf8(process.readAllStandardOutput());
    }

    static QString pageText(const QString &pdf, int page)
    {
        const QString n = QString::number(page);
        return tool("pdftotext", {"-layout", "-f", n, "-l", n, pdf, "-"});
    }

    static int pageCount(const QString &pdf)
    {
        const QRegularExpressionMatch m = QRegularExpression("Pages:\\s+(\\d+)").match(tool("pdfinfo", {pdf}));
        return m.hasMatch() ? m.captured(1).toInt() : -1;
    }
};

TEST_F(PrintedFiles, TheSongBookGoesToAPdfWithItsTablesTextsAndKaiFont)
{
    addSongs(1, 3, 30);
    db.addSong(QStringLiteral("702001"), 7, QStringLiteral("海闊天空"), db.addSinger(QStringLiteral("粵語歌手"), 2));
    const QString pdf = home.file("book.pdf");

    const Run run = karaoke({"--print-book", pdf});

    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains("book.pdf"));
    ASSERT_EQ(pageCount(pdf), 3);
    const QString first = pageText(pdf, 1);
    for (const QString text : {"國語-- 3字部", "第 1頁", "歌曲名稱", "編號", "演唱者", "01歌", "103001", "歌手甲"})
        EXPECT_TRUE(first.contains(text)) << text.toStdString() << "\n" << first.toStdString();
    EXPECT_TRUE(pageText(pdf, 2).contains("第 2頁"));
    EXPECT_TRUE(pageText(pdf, 2).contains("30歌"));
    const QString third = pageText(pdf, 3);
    EXPECT_TRUE(third.contains("粵語-- 4字部") && third.contains("海闊天空") && third.contains("粵語歌手")) << third.toStdString();
    EXPECT_TRUE(tool("pdffonts", {pdf}).contains("UKai"));

    // The page label stands 15 cm from the sheet's left edge (425.2 pt).
    const QRegularExpressionMatch label =
        QRegularExpression("xMin=\"([0-9.]+)\"[^>]*>第</word>").match(tool("pdftotext", {"-bbox", "-f", "1", "-l", "1", pdf, "-"}));
    ASSERT_TRUE(label.hasMatch());
    EXPECT_NEAR(label.captured(1).toDouble(), 425.2, 1.0);
}

TEST_F(PrintedFiles, TheNewSongsListAndSpreadsheetFromTheCommandLine)
{
    addSongs(1, 3, 2, QStringLiteral("2026/01/05"));
    addSongs(1, 4, 1, QStringLiteral("2025/12/31"));
    const QString pdf = home.file("new.pdf");

    Run run = karaoke({"--print-new", pdf, "--since", "2026/1/5"});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(pageCount(pdf), 1);
    EXPECT_TRUE(pageText(pdf, 1).contains("新進國語歌曲"));
    EXPECT_FALSE(pageText(pdf, 1).contains("01歌歌"));

    run = karaoke({"--print-new", pdf, "--since", "2025/12/01", "--keyword", "01歌歌"});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(pageText(pdf, 1).contains("精選國語01歌歌歌曲"));

    const QString xlsx = home.file("new.xlsx");
    run = karaoke({"--export-new", xlsx, "--since", "2026/01/05"});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    const XlsxReader sheet(xlsx);
    EXPECT_EQ(sheet.text("B3"), title(3, 2));
    EXPECT_EQ(sheet.lastRow(), 26);
}

TEST_F(PrintedFiles, ABadDateOrNoMatchEndsTheTaskWithTheMessageAndNoFile)
{
    addSongs(1, 3, 1, QStringLiteral("2026/01/05"));
    const struct
    {
        QStringList arguments;
        int exitCode;
        QString message;
    } cases[] = {
        {{"--print-new", "x.pdf", "--since", "2026/02/30"}, 1, "請指定好起始列印的日期"},
        {{"--export-new", "x.xlsx", "--since", "明天"}, 1, "請指定好起始列印的日期"},
        {{"--print-new", "x.pdf", "--since", "2027/1/1"}, 1, "沒有2027/1/1以後 or 有關\"\"的相關資料"},
        {{"--export-new", "x.xlsx", "--since", "2026/1/1", "--keyword", "100%"}, 1,
         "沒有2026/1/1以後 or 有關\"100%\"的相關資料"},
        {{"--print-new", "x.pdf"}, 2, "--since"},
        {{"--print-book", "x.pdf", "--keyword", "愛"}, 2, "--keyword"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        QStringList arguments = c.arguments;
        arguments[1] = home.file(arguments[1]);
        const Run run = karaoke(arguments);
        EXPECT_EQ(run.exitCode, c.exitCode);
        EXPECT_TRUE(run.err.contains(c.message)) << run.err.toStdString();
        EXPECT_FALSE(QFile::exists(arguments[1]));
    }
}

} // namespace
