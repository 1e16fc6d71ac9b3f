// `karaoke --measure-loudness` as the owner runs it, killed at random moments: the catalogue
// stays whole, every song is measured completely or not at all, and the next run measures
// only what is left. A pipe or a folder named like a song never holds it up, and a run that
// cannot finish says so in its exit status.
#include "core/database.h"
#include "support/catalogue_builder.h"
#include "support/program_run.h"
#include "support/temp_home.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QRandomGenerator>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

constexpr int kSongs = 36;

QString mediaPath(const char *name)
{
    return qEnvironmentVariable("KARAOKE_TEST_MEDIA") + QLatin1Char('/') + QLatin1String(name);
}

QProcess *startRun(QProcess &process, const TempHome &home)
{
    process.start(QStringLiteral(KARAOKE_PROGRAM), {QStringLiteral("--home"), home.path(), QStringLiteral("--measure-loudness")});
    EXPECT_TRUE(process.waitForStarted());
    return &process;
}

int count(Database &db, const QString &sql)
{
    return db.OpenRecordset(sql).value(0).toInt();
}

// A program folder started once by the program itself, its catalogue open for writing songs in.
struct StartedHome
{
    StartedHome()
    {
        QProcess init;
        init.start(QStringLiteral(KARAOKE_PROGRAM), {QStringLiteral("--home"), home.path(), QStringLiteral("--init-only")});
        init.waitForFinished(30000);
    }
    ProgramRun measure() const
    {
        return runProgram(QStringLiteral(KARAOKE_PROGRAM), {QStringLiteral("--home"), home.path(), QStringLiteral("--measure-loudness")});
    }

    TempHome home;
    CatalogueBuilder catalogue{home.file(QStringLiteral("karaoke.mdb"))};
};

TEST(LoudnessRun, AKilledRunLosesNothingAndTheNextRunFinishesTheJob)
{
    StartedHome started;
    const TempHome &home = started.home;
    CatalogueBuilder &catalogue = started.catalogue;
    const qint64 singer = catalogue.addSinger(QStringLiteral("甲"), 0);
    const char *files[] = {"mpeg1.mpg", "tone.mp3", "level-loud.wav", "broken.mpg", "three-tracks.mkv", "vcd-cdxa.dat"};
    for (int i = 0; i < kSongs; ++i)
        catalogue.addSong(QStringLiteral("1010%1").arg(i, 2, 10, QLatin1Char('0')), 1, QStringLiteral("歌"), singer,
                          mediaPath(files[i % std::size(files)]));
    catalogue.database().close();

    Database db(home.file(QStringLiteral("karaoke.mdb")));
    db.setBusyWait(5000);
    const QString partlyStored = QStringLiteral(
        "SELECT count(*) FROM song_loudness WHERE (loudness_state = 1 AND (lufs_1 IS NULL OR lufs_2 IS NULL OR lufs_3 IS NULL)) "
        "OR (loudness_state = 2 AND lufs_1 IS NOT NULL)");
    const QString notMeasured = QStringLiteral(
        "SELECT count(*) FROM song AS s LEFT JOIN song_loudness AS l ON l.song_row = s.rowid "
        "AND l.song_location = s.song_location WHERE l.song_row IS NULL");
    for (int kill = 0; kill < 6; ++kill) {
        const int delayMs = QRandomGenerator::global()->bounded(20, 400);
        QProcess run;
        startRun(run, home)->waitForFinished(delayMs);
        run.kill();
        run.waitForFinished();
        EXPECT_EQ(db.OpenRecordset(QStringLiteral("PRAGMA integrity_check")).value(0).toString(), "ok") << delayMs;
        EXPECT_EQ(count(db, partlyStored), 0) << "killed after " << delayMs << " ms";
        db.close();
    }

    const int left = count(db, notMeasured);
    QProcess last;
    ASSERT_TRUE(startRun(last, home)->waitForFinished(120000));
    const QString out = QString::fromUtf8(last.readAllStandardOutput());
    EXPECT_EQ(last.exitCode(), 0);
    EXPECT_TRUE(left == 0 || out.startsWith(QStringLiteral("測量音量: %1 首歌曲待測量").arg(left))) << out.toStdString();
    EXPECT_EQ(count(db, notMeasured), 0);
    EXPECT_EQ(count(db, QStringLiteral("SELECT count(*) FROM song_loudness WHERE loudness_state = 2")), kSongs / 6);
    EXPECT_EQ(count(db, partlyStored), 0);
}

TEST(LoudnessRun, APipeOrAFolderNamedLikeASongIsPassedOverAndARunThatCannotFinishExitsOne)
{
    StartedHome started;
    const TempHome &home = started.home;
    ASSERT_EQ(mkfifo(QFile::encodeName(home.file(QStringLiteral("管道.mpg"))).constData(), 0600), 0);
    ASSERT_TRUE(QDir(home.path()).mkdir(QStringLiteral("資料夾.mpg")));
    const qint64 singer = started.catalogue.addSinger(QStringLiteral("甲"), 0);
    QStringList locations = {home.file(QStringLiteral("管道.mpg")), home.file(QStringLiteral("資料夾.mpg"))};
    for (const char *file : {"mpeg1.mpg", "tone.mp3", "level-loud.wav", "three-tracks.mkv", "vcd-cdxa.dat"})
        locations << mediaPath(file) << mediaPath(file);
    for (int i = 0; i < locations.size(); ++i)
        started.catalogue.addSong(QStringLiteral("1010%1").arg(i, 2, 10, QLatin1Char('0')), 1, QStringLiteral("歌"),
                                  singer, locations[i]);

    const ProgramRun run = started.measure();
    ASSERT_TRUE(run.finished) << "held up by the pipe";
    EXPECT_EQ(run.exitCode, 0) << run.out.toStdString();
    EXPECT_TRUE(run.out.contains(QStringLiteral("已測量 10 首, 無法解碼 0 首, 暫時無法讀取 2 首"))) << run.out.toStdString();
    Database &db = started.catalogue.database();
    EXPECT_EQ(count(db, QStringLiteral("SELECT count(*) FROM song_loudness WHERE loudness_state = 1")), 10);

    // Another program holds the catalogue's write lock: the run cannot store what it measured.
    started.catalogue.addSong(QStringLiteral("102001"), 1, QStringLiteral("新歌"), singer, mediaPath("tone.mp3"));
    db.ExecuteSql(QStringLiteral("BEGIN IMMEDIATE"));
    const ProgramRun locked = started.measure();
    db.ExecuteSql(QStringLiteral("ROLLBACK"));
    EXPECT_TRUE(locked.out.contains(QStringLiteral("音量測量中止"))) << locked.out.toStdString();
    EXPECT_EQ(locked.exitCode, 1);
}

} // namespace
