// Registration without a window: the same scan, checks and runs as the windows, printed.
#include "bulk/command_line_runs.h"
#include "bulk/file_name_run.h"
#include "bulk/file_table.h"
#include "bulk/progress.h"
#include "bulk_fixture.h"
#include "support/program_run.h"
#include "support/small_disk.h"
#include "support/write_lock.h"

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
        home.write(QStringLiteral("Setting.ini"), home.read(QStringLiteral("Setting.ini")) + kNoMeasuring);
    }

    // The runs here are about registering; measuring what they stored only takes time.
    static constexpr char kNoMeasuring[] = "EvenLoudness = 0\n";


    // The program itself, as an owner's script starts it; waits for it to end.
    static std::unique_ptr<QProcess> start(const QStringList &arguments)
    {
        auto child = std::make_unique<QProcess>();
        child->setProcessChannelMode(QProcess::MergedChannels);
        child->start(QStringLiteral(KARAOKE_BINARY), arguments);
        EXPECT_TRUE(child->waitForStarted());
        return child;
    }
    static ProgramRun finish(QProcess &child)
    {
        // Generous: the sanitizer build on a busy machine is many times slower; this only guards a hang.
        EXPECT_TRUE(child.waitForFinished(600000));
        return {true, child.exitCode(), QString::fromUtf8(child.readAll()), {}};
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

// An owner starting the folder run twice at once, and a list run beside them: whichever run
// stores a song decides, under the catalogue's lock, that its file is not registered yet and
// which number is free, so every file has one number and no number two files.
TEST_F(CommandLineTest, RunsAtOnceRegisterEachFileOnceAndNeverShareANumber)
{
    constexpr int kPerRound = 600;
    const QString listFolder = home.file(QStringLiteral("list"));
    ASSERT_TRUE(QDir().mkpath(listFolder));
    const QString listPath = listFolder + QStringLiteral("/list.txt");
    for (int round = 0; round < 2; ++round) {
        QByteArray list;
        for (int i = round * kPerRound; i < (round + 1) * kPerRound; ++i) {
            const QString n = QStringLiteral("%1").arg(i, 4, 10, QLatin1Char('0'));
            addFile(QStringLiteral("甲,歌%1,國語,5.mpg").arg(n));
            addFile(QStringLiteral("k%1.mpg").arg(n), listFolder);
            list += QStringLiteral("k%1.mpg,曲%1,國語,乙,5\n").arg(n).toUtf8();
        }
        QFile file(listPath);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(list);
        file.close();
        const QStringList folderRun = {QStringLiteral("--home"), home.path(), QStringLiteral("--register-folder"), songs()};
        const auto first = start(folderRun);
        const auto second = start(folderRun);
        const auto listRun = start({QStringLiteral("--home"), home.path(), QStringLiteral("--register-list"), listPath});
        for (QProcess *child : {first.get(), second.get(), listRun.get()}) {
            const ProgramRun run = finish(*child);
            EXPECT_EQ(run.exitCode, 0) << run.out.right(400).toStdString();
        }
        const int files = (round + 1) * kPerRound * 2;
        EXPECT_EQ(songRows(), files);
        EXPECT_EQ(count(QStringLiteral("SELECT count(DISTINCT song_location) FROM song")), files);
        EXPECT_EQ(count(QStringLiteral("SELECT count(DISTINCT song_num) FROM song")), files);
        EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM (SELECT song_num FROM song GROUP BY song_num "
                                       "HAVING count(DISTINCT song_location) > 1)")),
                  0);
    }
}

// A catalogue on a disk that fills up: the run fails, and its count is what was really stored.
TEST_F(CommandLineTest, AFullDiskFailsTheRunAndCountsOnlyTheSongsStored)
{
    SmallDisk disk(256 * 1024);
    if (!disk.mounted())
        GTEST_SKIP() << disk.whyNot().toStdString();
    ASSERT_EQ(finish(*start({QStringLiteral("--home"), disk.path(), QStringLiteral("--init-only")})).exitCode, 0);
    CatalogueBuilder(disk.file(QStringLiteral("karaoke.mdb"))).addSinger(QStringLiteral("甲"), 0);
    ASSERT_TRUE(disk.write(QStringLiteral("Setting.ini"), disk.read(QStringLiteral("Setting.ini")) + kNoMeasuring));
    for (int i = 0; i < 2000; ++i)
        addFile(QStringLiteral("甲,歌%1,國語,5.mpg").arg(i, 4, 10, QLatin1Char('0')));
    const ProgramRun run = finish(*start({QStringLiteral("--home"), disk.path(), QStringLiteral("--register-folder"), songs()}));
    EXPECT_EQ(run.exitCode, 1);
    Database onDisk(disk.file(QStringLiteral("karaoke.mdb")));
    const int stored = onDisk.OpenRecordset(QStringLiteral("SELECT count(DISTINCT song_num) FROM song")).value(0).toInt();
    EXPECT_LT(stored, 2000);
    EXPECT_TRUE(run.out.contains(QStringLiteral("已完成%1筆資料的登錄!").arg(stored))) << run.out.right(300).toStdString();
    EXPECT_TRUE(run.out.contains(QStringLiteral("資料庫無法寫入"))) << run.out.right(300).toStdString();
}

// Work that was asked for and not done is never reported as done; letter case tells files apart.
TEST_F(CommandLineTest, UnreadableFoldersVanishedFilesAndOtherLetterCaseAreNotRegistered)
{
    QString printed;
    fakes.fileSystem.unreadable.append(songs());
    EXPECT_EQ(registerFolder(&printed), 1);
    EXPECT_EQ(printed, QStringLiteral("無法讀取這個目錄: ") + songs() + QLatin1Char('\n'));
    fakes.fileSystem.unreadable.clear();

    for (int i = 0; i < 5; ++i)
        addFile(QStringLiteral("甲,歌%1,國語,2.mpg").arg(i));
    FileTable table(state, fakes.fileSystem);
    SilentProgress quiet;
    table.scan(songs(), quiet);
    QFile::remove(song(QStringLiteral("甲,歌1,國語,2.mpg")));
    QFile::remove(song(QStringLiteral("甲,歌3,國語,2.mpg")));
    const RunOutcome outcome =
        registerFileRows(state, fakes.fileSystem, table, QStringLiteral("2026/12/05"), RowsTaken::ReadyOnly, quiet);
    EXPECT_EQ(outcome.songsWritten, 3);
    ASSERT_EQ(outcome.problems.size(), 2);
    EXPECT_TRUE(outcome.problems[0].contains(QStringLiteral("找不到這個檔案"))) << outcome.problems[0].toStdString();
    EXPECT_EQ(songRows(), 3);

    const QString upper = home.file(QStringLiteral("Upper"));
    const QString lower = home.file(QStringLiteral("upper"));
    QDir().mkpath(upper);
    QDir().mkpath(lower);
    addFile(QStringLiteral("甲,Love,英語,4.wav"), upper);
    addFile(QStringLiteral("甲,Love,英語,4.wav"), lower);
    QTextStream out(&printed);
    EXPECT_EQ(registerFolderWithoutWindow(state, fakes.fileSystem, fakes.clock, upper, out), 0);
    printed.clear();
    EXPECT_EQ(registerFolderWithoutWindow(state, fakes.fileSystem, fakes.clock, lower, out), 1);
    EXPECT_TRUE(printed.startsWith(QStringLiteral("檔案需確認:甲,Love,英語,4.wav"))) << printed.toStdString();
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
    // Kill once some songs are committed and another group is being written (the run holds the
    // catalogue's write lock while it writes a group).
    reader.setBusyWait(5000);
    Database probe(state.DbPath);
    QElapsedTimer waited;
    waited.start();
    bool committed = false;
    // waitForFinished also brings the child's state up to date.
    while (!child.waitForFinished(1) && waited.elapsed() < 300000) {
        if (!committed) {
            committed = songRows() > 0;
        } else if (writeLockHeld(probe)) {
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
