// The measured loudness kept in the catalogue: a survey measures each song once, keeps what a
// stopped run had done, marks what cannot be decoded for good, tries a missing file or one that
// took too long again next time, measures a song again when it gets another file, and an older catalogue takes the new
// columns without losing a song.
#include "catalogue/loudness_survey.h"
#include "catalogue/song_loudness.h"
#include "catalogue/song_records.h"
#include "core/init_system.h"
#include "support/catalogue_home.h"
#include "support/fake_platform.h"

#include <QFileInfo>
#include <QHash>

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
        LoudnessSurvey survey(state.db(), state.AppPath, meter);
        const std::atomic<bool> stop{false};
        for (auto step = survey.measureNext(stop); step && step->outcome != LoudnessMeter::Outcome::Stopped;
             step = survey.measureNext(stop)) {
        }
        return meter.asked;
    }
    QStringList states() { return rows("SELECT song_num, song_loudness_state, song_lufs_1, song_lufs_3 FROM song ORDER BY rowid"); }

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
    storeLoudness(state.db(), {0, "101005", "/songs/c.mpg"}, FakeLoudnessMeter::loudness(-9));
    catalogue.addSong("101006", 1, "己", 1, "/songs/slow.mpg");
    EXPECT_FALSE(findLoudness(state.db(), "101001")) << "a song not measured plays as it is";

    meter.stopsAt = "b.mpg";
    EXPECT_EQ(survey(), QStringList({"a.mpg", "b.mpg"})) << "stopped at the second song";
    meter.stopsAt.clear();
    EXPECT_EQ(survey(), QStringList({"b.mpg", "broken.mpg", "away.mpg", "slow.mpg"})) << "goes on where it stopped";
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
    updateSong(state.db(), changed);
    EXPECT_FALSE(findLoudness(state.db(), "101001")) << "another file is not yet measured";
    EXPECT_EQ(survey(), QStringList({"A.mpg", "away.mpg", "slow.mpg"}));
}

// A catalogue of the program before loudness was measured: its songs stay and play as they are.
TEST_F(SongLoudnessTest, AnOlderCatalogueTakesTheNewColumnsAndKeepsItsSongs)
{
    state.database->close();
    catalogue.database().close();
    CatalogueBuilder::createAtVersion(state.DbPath, 5);
    catalogue.addSong("101001", 1, "甲", 1, "/songs/a.mpg");
    catalogue.database().close();

    ASSERT_TRUE(InitSystem(state, fileSystem, clock, home.path()).ok);
    EXPECT_EQ(rows("SELECT song_num, song_name, song_loudness_state FROM song"), QStringList({"101001|甲|"}));
    EXPECT_FALSE(findLoudness(state.db(), "101001"));
    EXPECT_EQ(survey(), QStringList({"a.mpg"}));
}

} // namespace
