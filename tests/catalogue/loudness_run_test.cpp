// `karaoke --measure-loudness` as the owner runs it, killed at random moments: the catalogue
// stays whole, every song is measured completely or not at all, and the next run measures
// only what is left.
#include "core/database.h"
#include "support/catalogue_builder.h"
#include "support/temp_home.h"

#include <QCoreApplication>
#include <QProcess>
#include <QRandomGenerator>

#include <gtest/gtest.h>

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

TEST(LoudnessRun, AKilledRunLosesNothingAndTheNextRunFinishesTheJob)
{
    TempHome home;
    QProcess init;
    init.start(QStringLiteral(KARAOKE_PROGRAM), {QStringLiteral("--home"), home.path(), QStringLiteral("--init-only")});
    ASSERT_TRUE(init.waitForFinished(30000));
    CatalogueBuilder catalogue(home.file(QStringLiteral("karaoke.mdb")));
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

} // namespace
