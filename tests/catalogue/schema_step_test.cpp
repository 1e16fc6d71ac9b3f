// Catalogues of the schemas before the plain file (lists indexed in a collation of the
// program's, loudness in the song table) open with every song, singer and measured value, and
// are ordinary SQLite files afterwards.
#include "catalogue/song_loudness.h"
#include "core/catalogue_file.h"
#include "core/lookups.h"
#include "support/catalogue_fixture.h"

#include <QFile>

namespace {

class SchemaStep : public CatalogueFixture
{
protected:
    // Starts the program on a catalogue of that version, filled by fill.
    void startOn(int version, const std::function<void(Database &)> &fill)
    {
        state.db().close();
        catalogue.database().close();
        reader.close();
        QFile::remove(state.DbPath);
        CatalogueBuilder::createAtVersion(state.DbPath, version, fill);
        const InitResult restarted = InitSystem(state, fileSystem, clock, home.path());
        ASSERT_TRUE(restarted.ok) << restarted.problem.toStdString();
    }
    QStringList menuList()
    {
        QStringList texts;
        if (LoadSongsByKindAndCount(state, 1, 1)) {
            for (int i = 0; i < state.SongList.count(); ++i)
                texts.append(state.SongList.row(i).text);
        }
        return texts;
    }
};

const QStringList kSevenColumns = {"song_num",         "song_kind",       "song_name",    "song_text_count",
                                   "song_singer_code", "song_build_date", "song_location"};

TEST_F(SchemaStep, OlderCataloguesKeepEverySongAndValueAndBecomePlainFiles)
{
    const QString singers = QStringLiteral("INSERT INTO singer (singer_name, singer_sex) VALUES ('甲', 0), ('乙', 1)");
    const QString songs = QStringLiteral(
        "INSERT INTO song (song_num, song_kind, song_name, song_text_count, song_singer_code, song_build_date, "
        "song_location) VALUES ('101001', 1, '龍', 1, 1, '2026/01/01', '/songs/a.mpg'), "
        "('101002', 1, '一', 1, 2, '2026/01/01', '/songs/b.mpg'), ('101003', 1, '天', 1, 1, '2026/01/01', '/songs/c.mpg'), "
        "('101003', 1, '天', 1, 2, '2026/01/01', '/songs/c.mpg')");
    for (const int version : {4, 8}) {
        SCOPED_TRACE(version);
        startOn(version, [&](Database &db) {
            db.ExecuteSql(singers);
            db.ExecuteSql(songs);
            if (version < 6)
                return;
            db.ExecuteSql(QStringLiteral("UPDATE song SET song_loudness_state = 1, song_lufs_1 = -20.5, song_peak_1 = -1.5, "
                                         "song_lufs_2 = -21, song_peak_2 = -2 WHERE song_num = '101001'"));
            db.ExecuteSql(QStringLiteral("UPDATE song SET song_loudness_state = 2 WHERE song_num = '101002'"));
        });
        EXPECT_EQ(rows("SELECT name FROM pragma_table_info('song')"), kSevenColumns);
        EXPECT_EQ(count("SELECT count(*) FROM sqlite_master WHERE sql LIKE '%STROKE%'"), 0);
        EXPECT_EQ(count("PRAGMA user_version"), CatalogueFile::kSchemaVersion);
        EXPECT_EQ(menuList(), QStringList({"一--乙", "天--甲", "天--乙", "龍--甲"}));
        EXPECT_EQ(count("SELECT count(*) FROM song"), 4);
        if (version == 8) {
            EXPECT_EQ(rows("SELECT song_row, song_location, loudness_state, lufs_1, peak_1, lufs_2, peak_2, lufs_3, peak_3 "
                           "FROM song_loudness ORDER BY song_row"),
                      QStringList({"1|/songs/a.mpg|1|-20.5|-1.5|-21.0|-2.0||", "2|/songs/b.mpg|2||||||"}));
            ASSERT_TRUE(findLoudness(state.db(), "101001"));
            EXPECT_EQ(findLoudness(state.db(), "101001")->channels[1]->truePeakDb, -2);
            QStringList toMeasure;
            for (const SongToMeasure &song : songsToMeasure(state.db(), state.AppPath, 0, 10))
                toMeasure.append(song.songNum);
            EXPECT_EQ(toMeasure, QStringList({"101003", "101003"})) << "an undecodable file is not tried again";
        }
        EXPECT_EQ(reader.ExecuteSql(QStringLiteral("DELETE FROM song WHERE song_num = '101001'")), 1);
        EXPECT_EQ(count("SELECT count(*) FROM song_loudness"), version == 8 ? 1 : 0);
        EXPECT_EQ(query("PRAGMA integrity_check").value(0).toString(), QStringLiteral("ok"));
    }
}

} // namespace
