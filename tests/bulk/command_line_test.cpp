// Registration without a window: the same scan, checks and runs as the windows, printed.
#include "bulk/command_line_runs.h"
#include "bulk_fixture.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTextStream>

namespace {

class CommandLineTest : public BulkFixture
{
protected:
    void SetUp() override
    {
        BulkFixture::SetUp();
        singer = catalogue.addSinger(QStringLiteral("甲"), 0);
        catalogue.addSinger(QStringLiteral("乙"), 1);
    }

    int registerFolder(QString *printed)
    {
        QTextStream out(printed);
        return registerFolderWithoutWindow(state, fakes.fileSystem, fakes.clock, songs(), out);
    }
    int registerList(const QByteArray &list, QString *printed)
    {
        const QString path = song(QStringLiteral("list.txt"));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(list);
        file.close();
        QTextStream out(printed);
        return registerListWithoutWindow(state, fakes.fileSystem, fakes.clock, path, out);
    }

    qint64 singer = 0;
};

TEST_F(CommandLineTest, FolderRegistersTheReadyRowsAndLeavesTheOthers)
{
    catalogue.addSong(QStringLiteral("003001"), 0, QStringLiteral("老歌謠"), singer);
    addFile(QStringLiteral("甲,歌一,國語,2.mpg"));
    addFile(QStringLiteral("甲+乙,對唱,國語,2.mpg"));
    addFile(QStringLiteral("甲,老歌,台語,3.mpg"));
    addFile(QStringLiteral("丙,歌二,國語,2.mpg"));
    addFile(QStringLiteral("甲,歌三.mpg"));
    QString printed;
    EXPECT_EQ(registerFolder(&printed), 1);
    EXPECT_EQ(printed.split(QLatin1Char('\n'), Qt::SkipEmptyParts),
              (QStringList{"檔案需確認:丙,歌二,國語,2.mpg", "準備登錄:甲+乙,對唱,國語,2字部", "準備登錄:甲,歌一,國語,2字部",
                           "檔名格式有誤,請修正:甲,歌三.mpg <----請修正檔名<<<<<<<<<<<<<<<<<<<<<",
                           "檔案需確認:甲,老歌,台語,3.mpg", "已完成2筆資料的登錄! 原已登錄 0 筆, 尚需確認 3 筆"}));
    EXPECT_EQ(songRows(), 1 + 3);

    QFile::remove(song(QStringLiteral("丙,歌二,國語,2.mpg")));
    QFile::remove(song(QStringLiteral("甲,老歌,台語,3.mpg")));
    QFile::remove(song(QStringLiteral("甲,歌三.mpg")));
    printed.clear();
    EXPECT_EQ(registerFolder(&printed), 0);
    EXPECT_TRUE(printed.endsWith(QStringLiteral("已完成0筆資料的登錄! 原已登錄 2 筆, 尚需確認 0 筆\n")));
    EXPECT_EQ(songRows(), 4);
}

TEST_F(CommandLineTest, ListCreatesMissingSingersAndRegistersSimilarTitlesSayingSo)
{
    catalogue.addSong(QStringLiteral("003001"), 0, QStringLiteral("老歌謠"), singer);
    addFile(QStringLiteral("01.mpg"));
    addFile(QStringLiteral("02.mpg"));
    QString printed;
    EXPECT_EQ(registerList("1,新歌,國語,丙,2\n2,老歌,台語,甲,3\n", &printed), 0);
    EXPECT_EQ(printed.split(QLatin1Char('\n'), Qt::SkipEmptyParts),
              (QStringList{"新增歌手資料,丙,完成 (歌手性別: 2.團體或其他)",
                           "老歌謠與編號003001,甲,有類似曲名. 請修改或取消登錄!! => 仍登錄為 003002",
                           "2筆資料已批次登錄完成"}));
    EXPECT_EQ(count(QStringLiteral("SELECT singer_sex FROM singer WHERE singer_name = '丙'")), 2);
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM song WHERE song_num IN ('102001', '003002')")), 2);

    printed.clear();
    EXPECT_EQ(registerList("1,新歌,國語,丙\n", &printed), 1);
    EXPECT_EQ(printed, QStringLiteral("批次檔內容錯誤 !\n1,新歌,國語,丙\n"));
    EXPECT_EQ(songRows(), 3);
}

TEST_F(CommandLineTest, AFileRegisteredFromARelativeListIsKnownToTheFolderScan)
{
    addFile(QStringLiteral("KTV01.mpg"));
    QFile list(song(QStringLiteral("list.txt")));
    ASSERT_TRUE(list.open(QIODevice::WriteOnly));
    list.write("1,新歌,國語,甲,2\n");
    list.close();
    const QString before = QDir::currentPath();
    QDir::setCurrent(home.path());
    QString printed;
    QTextStream out(&printed);
    EXPECT_EQ(registerListWithoutWindow(state, fakes.fileSystem, fakes.clock, QStringLiteral("songs\\list.txt"), out), 0);
    EXPECT_EQ(registerFolderWithoutWindow(state, fakes.fileSystem, fakes.clock, QStringLiteral("./songs/"), out), 0);
    QDir::setCurrent(before);
    EXPECT_TRUE(printed.contains(QStringLiteral("檔案已登錄:KTV01.mpg"))) << printed.toStdString();
    EXPECT_EQ(songRows(), 1);
}

// A run killed in the middle leaves every song whole or absent; the next run registers the
// rest without a duplicate.
TEST_F(CommandLineTest, AKilledRunLosesNoSongAndTheNextRunFinishesIt)
{
    // Enough files for several commit groups even on a fast machine.
    constexpr int kFiles = 8000;
    for (int i = 0; i < kFiles; ++i) {
        const QString singers = i % 3 == 0 ? QStringLiteral("甲+乙") : QStringLiteral("甲");
        addFile(QStringLiteral("%1,歌%2,國語,5.mpg").arg(singers).arg(i, 4, 10, QLatin1Char('0')));
    }
    const QStringList arguments = {QStringLiteral("--home"), home.path(), QStringLiteral("--register-folder"), songs()};
    QProcess child;
    child.start(QStringLiteral(KARAOKE_BINARY), arguments);
    ASSERT_TRUE(child.waitForStarted());
    // Kill once some songs are committed and another group is being written.
    reader.setBusyWait(5000);
    QElapsedTimer waited;
    waited.start();
    const QString journal = home.file(QStringLiteral("karaoke.mdb-journal"));
    bool committed = false;
    // waitForFinished also brings the child's state up to date.
    while (!child.waitForFinished(1) && waited.elapsed() < 300000) {
        if (!committed) {
            committed = songRows() > 0;
        } else if (QFileInfo::exists(journal)) {
            child.kill();
            break;
        }
    }
    ASSERT_TRUE(child.waitForFinished());
    ASSERT_EQ(child.exitStatus(), QProcess::CrashExit) << "the run ended before it could be killed";

    auto checkWholeSongs = [this] {
        EXPECT_EQ(query(QStringLiteral("PRAGMA integrity_check")).value(0).toString(), QStringLiteral("ok"));
        // Each number has one file and as many records as its file names singers.
        EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM (SELECT song_num FROM song GROUP BY song_num "
                                       "HAVING count(DISTINCT song_location) <> 1 OR count(*) <> "
                                       "CASE WHEN max(song_location) LIKE '%甲+乙%' THEN 2 ELSE 1 END)")),
                  0);
        return count(QStringLiteral("SELECT count(DISTINCT song_location) FROM song"));
    };
    const int afterKill = checkWholeSongs();
    EXPECT_GT(afterKill, 0);
    EXPECT_LT(afterKill, kFiles);

    child.start(QStringLiteral(KARAOKE_BINARY), arguments);
    // Generous: the sanitizer build on a busy machine is many times slower; this only guards a hang.
    ASSERT_TRUE(child.waitForFinished(600000));
    EXPECT_EQ(child.exitCode(), 0) << child.readAllStandardOutput().right(300).toStdString();
    EXPECT_EQ(checkWholeSongs(), kFiles);
    EXPECT_EQ(count(QStringLiteral("SELECT count(DISTINCT song_num) FROM song")), kFiles);
    const QString output = QString::fromUtf8(child.readAllStandardOutput());
    EXPECT_EQ(output.count(QStringLiteral("檔案已登錄:")), afterKill);
}

} // namespace
