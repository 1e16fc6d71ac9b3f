// The measured loudness kept in the catalogue: a survey measures each song once, keeps what a
// stopped run had done, marks what cannot be decoded until its file changes, tries a missing
// file or one that took too long again on the next pass, measures a song again when it gets
// another file (from any program) or its file is replaced under the same name (even while it
// is being measured), and counts for nothing in the phone page's change count.
#include "catalogue/loudness_survey.h"
#include "catalogue/song_loudness.h"
#include "catalogue/song_records.h"
#include "support/catalogue_home.h"
#include "support/fake_platform.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

#include <gtest/gtest.h>

namespace {

// Answers for each file name what the test says (measured at -20 LUFS by default) and
// records which files it was asked to measure.
class FakeLoudnessMeter : public LoudnessMeter
{
public:
    Result measure(const QString &path, const std::atomic<bool> &stop) override
    {
        const QString name = QFileInfo(path).fileName();
        asked.append(name);
        if (whileMeasuring)
            whileMeasuring(name);
        if (stop || name == stopsAt)
            return {Outcome::Stopped, {}};
        return answers.value(name, {Outcome::Measured, loudness(-20)});
    }
    static SongLoudness loudness(double lufs)
    {
        return {{ChannelLoudness{lufs, -3}, ChannelLoudness{lufs - 1, -4}, std::nullopt}};
    }

    QHash<QString, Result> answers;
    QStringList asked;
    QString stopsAt;
    std::function<void(const QString &)> whileMeasuring; // the file being measured meanwhile
};

class SongLoudnessTest : public ::testing::Test, public FakePlatform, public CatalogueHome
{
protected:
    SongLoudnessTest()
        : CatalogueHome(fileSystem, clock)
    {
        meter.answers.insert("broken.mpg", {LoudnessMeter::Outcome::Undecodable, {}});
        meter.answers.insert("away.mpg", {LoudnessMeter::Outcome::Unavailable, {}});
        meter.answers.insert("slow.mpg", {LoudnessMeter::Outcome::TimedOut, {}});
    }
    QStringList survey()
    {
        meter.asked.clear();
        LoudnessSurvey survey(state.db(), state.catalogue(), state.AppPath, meter);
        const std::atomic<bool> stop{false};
        for (auto step = survey.measureNext(stop); step && step->outcome != LoudnessMeter::Outcome::Stopped;
             step = survey.measureNext(stop)) {
        }
        return meter.asked;
    }
    // The loudness that counts: measured from the file the song plays now.
    QStringList states()
    {
        return rows("SELECT s.song_num, l.loudness_state, l.lufs_1, l.lufs_3 FROM song AS s LEFT JOIN song_loudness AS l "
                    "ON l.song_row = s.rowid AND l.song_location = s.song_location ORDER BY s.rowid");
    }
    int changeCount() { return count("SELECT changes FROM catalogue_changes"); }

    FakeLoudnessMeter meter;
};

TEST_F(SongLoudnessTest, EachSongIsMeasuredOnceAndWhatCannotBeDecodedIsNotTriedAgain)
{
    catalogue.addSong("101001", 1, "甲", 1, "/songs/a.mpg");
    catalogue.addSong("101002", 1, "乙", 1, "/songs/b.mpg");
    catalogue.addSong("101002", 1, "乙", 2, "/songs/b.mpg"); // a second singer: a row of its own
    catalogue.addSong("101003", 1, "丙", 1, "/songs/broken.mpg");
    catalogue.addSong("101004", 1, "丁", 1, "/songs/away.mpg");
    catalogue.addSong("101005", 1, "戊", 1, "/songs/c.mpg");
    storeLoudness(state.catalogue(), {0, "101005", "/songs/c.mpg", {}}, FakeLoudnessMeter::loudness(-9));
    catalogue.addSong("101006", 1, "己", 1, "/songs/slow.mpg");
    EXPECT_FALSE(findLoudness(state.db(), "101001")) << "a song not measured plays as it is";

    const int changesBefore = changeCount();
    meter.stopsAt = "b.mpg";
    EXPECT_EQ(survey(), QStringList({"a.mpg", "b.mpg"})) << "stopped at the second song";
    meter.stopsAt.clear();
    EXPECT_EQ(survey(), QStringList({"b.mpg", "broken.mpg", "away.mpg", "slow.mpg"})) << "goes on where it stopped";
    EXPECT_EQ(changeCount(), changesBefore) << "measuring is no change for the phone page's search";
    EXPECT_EQ(states(), QStringList({"101001|1|-20.0|", "101002|1|-20.0|", "101002|1|-20.0|", "101003|2||",
                                     "101004|||", "101005|1|-9.0|", "101006|||"}));
    const std::optional<SongLoudness> measured = findLoudness(state.db(), "101002");
    ASSERT_TRUE(measured);
    EXPECT_EQ(measured->channels[1]->lufs, -21);
    EXPECT_EQ(measured->channels[1]->truePeakDb, -4);
    EXPECT_FALSE(measured->channels[2]) << "a silent channel choice";
    EXPECT_FALSE(findLoudness(state.db(), "101003"));

    EXPECT_EQ(survey(), QStringList({"away.mpg", "slow.mpg"})) << "only the missing and the slow file are tried again";
    SongRecord changed = *findSong(state.db(), "101001");
    changed.song_location = "/songs/A.mpg";
    updateSong(state.catalogue(), changed);
    EXPECT_FALSE(findLoudness(state.db(), "101001")) << "another file is not yet measured";
    // Another program gives a song another file, or deletes one: the same holds.
    catalogue.database().ExecuteSql(QStringLiteral("UPDATE song SET song_location = '/songs/d.mpg' WHERE song_num = '101005'"));
    catalogue.database().ExecuteSql(QStringLiteral("DELETE FROM song WHERE song_num = '101003'"));
    EXPECT_FALSE(findLoudness(state.db(), "101005"));
    EXPECT_EQ(survey(), QStringList({"A.mpg", "away.mpg", "d.mpg", "slow.mpg"}));
    EXPECT_EQ(count("SELECT count(*) FROM song_loudness WHERE song_row NOT IN (SELECT rowid FROM song)"), 0)
        << "a deleted song leaves no loudness behind";
    ASSERT_TRUE(findLoudness(state.db(), "101005"));
    EXPECT_EQ(findLoudness(state.db(), "101005")->channels[0]->lufs, -20);
}

// Writes bytes to the file at path in place (its size and time change as the bytes say).
void writeFile(const QString &path, const QByteArray &bytes)
{
    QTest::qWait(5); // a later modification time, whatever the file system's resolution
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

// Real files: a pass measures what changed since the last (another size, or the same size
// written again), what could not be read last time, and values from before stamps were kept;
// a file replaced or a song given another file while it was measured stores nothing from the
// old file and is measured on the next pass.
TEST_F(SongLoudnessTest, EachPassMeasuresAgainWhatChangedAndNothingFromAFileReplacedMeanwhile)
{
    QTemporaryDir folder;
    const auto file = [&](const char *name) { return folder.filePath(QLatin1String(name)); };
    for (const char *name : {"a.wav", "b.wav", "c.wav", "d.wav", "e.wav", "f.wav", "g.wav"})
        writeFile(file(name), "sound of " + QByteArray(name));
    const char *numbers[] = {"101001", "101002", "101003", "101004", "101005", "101006"};
    const char *names[] = {"a.wav", "b.wav", "c.wav", "d.wav", "e.wav", "f.wav"};
    for (int i = 0; i < 6; ++i)
        catalogue.addSong(numbers[i], 1, "歌", 1, file(names[i]));
    meter.answers.insert("d.wav", {LoudnessMeter::Outcome::Unavailable, {}});
    meter.whileMeasuring = [&](const QString &name) {
        if (name == "e.wav")
            writeFile(file("e.wav"), "another sound of e.wav");
        if (name == "f.wav")
            catalogue.database().ExecuteSql(QStringLiteral("UPDATE song SET song_location = ? WHERE song_num = '101006'"),
                                            {file("g.wav")});
    };
    EXPECT_EQ(survey(), QStringList({"a.wav", "b.wav", "c.wav", "d.wav", "e.wav", "f.wav"}));
    EXPECT_EQ(states(), QStringList({"101001|1|-20.0|", "101002|1|-20.0|", "101003|1|-20.0|", "101004|||",
                                     "101005|||", "101006|||"}))
        << "nothing stored from a file replaced or left while it was measured";
    EXPECT_EQ(count("SELECT count(*) FROM song_loudness"), 3);

    meter.whileMeasuring = nullptr;
    meter.answers.remove("d.wav"); // the folder is there now
    writeFile(file("b.wav"), "a longer sound of b.wav");
    writeFile(file("c.wav"), "SOUND OF c.wav"); // the same size, written later
    EXPECT_EQ(survey(), QStringList({"b.wav", "c.wav", "d.wav", "e.wav", "g.wav"}));
    EXPECT_EQ(survey(), QStringList()) << "nothing changed since";

    meter.answers.insert("a.wav", {LoudnessMeter::Outcome::Undecodable, {}});
    catalogue.database().ExecuteSql(QStringLiteral("UPDATE song_loudness SET file_size = NULL, file_modified_ns = NULL "
                                                   "WHERE song_row = 1"));
    EXPECT_EQ(survey(), QStringList({"a.wav"})) << "values from before stamps were kept, once";
    EXPECT_EQ(survey(), QStringList()) << "an undecodable file is not tried again while it stays as it is";
    meter.answers.remove("a.wav");
    writeFile(file("a.wav"), "a mended sound of a.wav");
    EXPECT_EQ(survey(), QStringList({"a.wav"})) << "until it changes";
    EXPECT_EQ(states().first(), "101001|1|-20.0|");
}

} // namespace
