// The measured loudness kept in the catalogue: a survey measures each song once, keeps what a
// The measured loudness kept in the catalogue: a survey measures each song once, keeps what a
// stopped run had done, marks what cannot be decoded for good, tries a missing file or one that
// took too long again next time, measures a song again when it gets another file (from any
// program), and counts for nothing in the phone page's change count.
#include "catalogue/loudness_survey.h"
#include "catalogue/song_loudness.h"
#include "catalogue/song_records.h"
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
    storeLoudness(state.catalogue(), {0, "101005", "/songs/c.mpg"}, FakeLoudnessMeter::loudness(-9));
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

} // namespace
