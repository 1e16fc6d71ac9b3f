#include "print_fixture.h"
#include "xlsx_reader.h"

#include "support/history_builder.h"
#include "support/small_disk.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>

#include <sys/stat.h>
#include <sys/sysmacros.h>

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
    catalogue.addSong(QStringLiteral("702001"), 7, QStringLiteral("海闊天空"), catalogue.addSinger(QStringLiteral("粵語歌手"), 2));
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

TEST_F(PrintedFiles, TheChartsPrintedExportedAndCountedAgreeWithAPlainCount)
{
    std::vector<QString> songs;
    for (int i = 0; i < 150; ++i) {
        songs.push_back(QString::number(200000 + i));
        catalogue.addSong(songs.back(), 1, QStringLiteral("歌") + songs.back(), singerCode);
    }
    const QString pdf = home.file("charts.pdf");
    Run run = karaoke({"--print-charts", pdf});
    EXPECT_EQ(run.exitCode, 1) << "nothing sung yet";
    EXPECT_TRUE(run.err.contains("還沒有唱過的歌")) << run.err.toStdString();
    EXPECT_FALSE(QFile::exists(pdf));
    EXPECT_FALSE(karaoke({"--statistics"}).out.contains("最近"));

    const qint64 now = QDateTime::currentSecsSinceEpoch();
    // No play within minutes of the 30 days' edge, so the program's later clock draws it alike.
    generateHistory(catalogue.database(), songs, 5000, 60, now - 300);
    catalogue.database().ExecuteSql(QStringLiteral("DELETE FROM song WHERE song_num = ?"),
                                    {plainChart(reader, now - 30 * 86400, true).first().section('|', 0, 0)});
    QStringList expected;
    for (const std::optional<qint64> since : {std::optional(now - 30 * 86400), std::optional<qint64>()}) {
        for (const QString &line : plainChart(reader, since, true))
            expected << line.section('|', 0, 0);
    }
    ASSERT_EQ(expected.size(), 200);

    run = karaoke({"--print-charts", pdf});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    QStringList printed;
    QRegularExpressionMatchIterator numbers =
        QRegularExpression(QStringLiteral("\\b2\\d{5}\\b")).globalMatch(tool("pdftotext", {"-layout", pdf, "-"}));
    // Each number is read twice: in its column, and in the title "歌" + number beside it.
    while (numbers.hasNext()) {
        const QString number = numbers.next().captured();
        if (printed.isEmpty() || printed.last() != number)
            printed << number;
    }
    EXPECT_EQ(printed, expected) << "the number column, page after page";
    const QString first = pageText(pdf, 1);
    EXPECT_TRUE(first.contains("熱門排行 最近 30 天") && first.contains("1. 歌" + expected[0])) << first.toStdString();

    const QString xlsx = home.file("charts.xlsx");
    run = karaoke({"--export-charts", xlsx});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const XlsxReader sheet(xlsx);
    QStringList exported;
    for (int row = 1; row <= sheet.lastRow(); ++row) {
        if (row % 26 != 1) // every 26th row is a block's header
            exported << sheet.text(QStringLiteral("A%1").arg(row));
    }
    EXPECT_EQ(exported, expected);

    const QString statistics = karaoke({"--statistics"}).out;
    EXPECT_TRUE(statistics.contains(QStringLiteral("最近 30 天唱了 %1 首")
                                        .arg(count(QStringLiteral("SELECT count(*) FROM play_history WHERE sung = 1 AND started_at >= ?"),
                                                        {now - 30 * 86400}))))
        << statistics.toStdString();
    EXPECT_TRUE(statistics.contains(QStringLiteral("1. 歌%1--歌手 (").arg(plainChart(reader, now - 30 * 86400, false).first().section('|', 0, 0))))
        << "the statistics count a deleted song under the title kept with its plays\n" << statistics.toStdString();
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

TEST_F(PrintedFiles, AFullDiskFailsTheRunAndLeavesTheEarlierFileAsItWas)
{
    SmallDisk disk;
    if (!disk.mounted())
        GTEST_SKIP() << disk.whyNot().toStdString();
    catalogue.addSong(QStringLiteral("103001"), 1, QStringLiteral("愛你歌"), singerCode, QString(), QStringLiteral("2026/01/05"));
    const QStringList tasks[] = {
        {"--print-book", "book.pdf"},
        {"--print-new", "new.pdf", "--since", "2026/01/01"},
        {"--export-new", "new.xlsx", "--since", "2026/01/01"},
    };
    for (const QStringList &task : tasks) {
        QStringList arguments = task;
        arguments[1] = home.file(task[1]);
        ASSERT_EQ(karaoke(arguments).exitCode, 0);
        const qint64 size = QFileInfo(arguments[1]).size();
        // Every room short of the whole file (the disk counts in 4 KiB blocks).
        for (qint64 room = 0; room < size; room += 4096) {
            SCOPED_TRACE(task.join(' ').toStdString() + ", bytes free: " + std::to_string(room));
            arguments[1] = disk.file(task[1]);
            ASSERT_TRUE(disk.write(task[1], "an earlier file") && disk.leaveFree(room));

            const Run run = karaoke(arguments);

            EXPECT_EQ(run.exitCode, 1) << run.out.toStdString();
            EXPECT_FALSE(run.out.contains("wrote"));
            EXPECT_TRUE(run.err.contains("無法寫入 ") && run.err.contains("(磁碟空間不足)")) << run.err.toStdString();
            EXPECT_EQ(disk.read(task[1]), "an earlier file");
            EXPECT_EQ(disk.files(), QStringList{task[1]}) << "nothing left beside it";
            QFile::remove(arguments[1]);
        }
    }
}

TEST_F(PrintedFiles, AnOutputPathThatIsNotARegularFileIsRefusedAndLeftAsItWas)
{
    addSongs(1, 3, 1, QStringLiteral("2026/01/05"));
    ASSERT_EQ(mkfifo(QFile::encodeName(home.file("pipe")).constData(), 0600), 0);
    ASSERT_TRUE(QDir(home.path()).mkdir("folder.pdf"));
    QList<QStringList> cases = {{"--print-book", "pipe"},
                                {"--print-new", "folder.pdf", "--since", "2026/01/01"},
                                {"--export-new", "pipe", "--since", "2026/01/01"}};
    // A twin of /dev/null, so the real one is never at stake; making it needs root.
    if (mknod(QFile::encodeName(home.file("null")).constData(), S_IFCHR | 0666, makedev(1, 3)) == 0)
        cases += {{"--print-book", "null"}, {"--export-new", "null", "--since", "2026/01/01"}};
    for (QStringList arguments : cases) {
        SCOPED_TRACE(arguments.join(' ').toStdString());
        arguments[1] = home.file(arguments[1]);

        const Run run = karaoke(arguments);

        EXPECT_EQ(run.exitCode, 1);
        EXPECT_TRUE(run.err.contains(arguments[1]) && run.err.contains("不是一般檔案")) << run.err.toStdString();
        EXPECT_FALSE(QFileInfo(arguments[1]).isFile());
    }
}

} // namespace
