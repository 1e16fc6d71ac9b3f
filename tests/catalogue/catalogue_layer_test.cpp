// The catalogue's own rules, whatever window or run writes: what may be stored, how song
// files are found and compared, and how a song's file and number are decided.
#include "catalogue/catalogue_refusal.h"
#include "catalogue/singer_records.h"
#include "catalogue/song_files.h"
#include "catalogue/song_listing.h"
#include "catalogue/song_records.h"
#include "catalogue/song_registration.h"
#include "support/catalogue_home.h"
#include "support/fake_platform.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace {

class CatalogueLayer : public ::testing::Test, public FakePlatform, public CatalogueHome
{
protected:
    CatalogueLayer()
        : CatalogueHome(fileSystem, clock)
    {
    }
    Database &db() { return state.db(); }
    Registration registerFile(const QString &location, RegistrationRules rules = {})
    {
        return registerSong(state.catalogue(), fileSystem, state.AppPath,
                            {1, 2, QStringLiteral("新歌"), {1}, "2026/12/05", location}, rules);
    }
};

// No window, run or list can store a song without a valid number, a nameless singer and the like.
TEST_F(CatalogueLayer, RecordsNotFitToStoreAreRefusedWithTheReason)
{
    const SongRecord good{"102001", 1, QStringLiteral("歌名"), 2, 1, "2026/12/05", mediaFile(QStringLiteral("a.mpg"))};
    // Registered under the record's own number, as a replacement for it.
    const auto store = [this](const SongRecord &s) {
        registerSong(state.catalogue(), fileSystem, state.AppPath,
                     {s.song_kind, s.song_text_count, s.song_name, {s.song_singer_code}, s.song_build_date, s.song_location},
                     {s.song_num, {}, nullptr});
    };
    struct Case
    {
        std::function<void(SongRecord &)> spoil;
        QString reason;
    };
    const Case cases[] = {
        {[](SongRecord &s) { s.song_num = "10200a"; }, "請輸入正確的曲目編號"},
        {[](SongRecord &s) { s.song_num = "1234567890"; }, "請輸入正確的曲目編號"},
        {[](SongRecord &s) { s.song_name.clear(); }, "請輸入正確的曲目名"},
        {[](SongRecord &s) { s.song_name = QStringLiteral("歌\x01名"); }, "曲目名不可含有控制字元"},
        {[](SongRecord &s) { s.song_name = QString(256, QLatin1Char('x')); }, "曲目名太長, 最多255個字"},
        {[](SongRecord &s) { s.song_kind = 8; }, "曲目種類不正確"},
        {[](SongRecord &s) { s.song_text_count = 255; }, "字數不對;字數應大於等於1 , 小於255"},
        {[](SongRecord &s) { s.song_build_date = "2026/13/05"; }, "請指定好日期"},
        {[](SongRecord &s) { s.song_location = " "; }, "檔案位置不正確"},
    };
    for (const Case &c : cases) {
        SongRecord song = good;
        c.spoil(song);
        try {
            store(song);
            ADD_FAILURE() << "stored: " << c.reason.toStdString();
        } catch (const CatalogueRefusal &e) {
            EXPECT_EQ(e.message(), c.reason);
        }
    }
    EXPECT_THROW(insertSinger(state.catalogue(), QStringLiteral("  "), 0), CatalogueRefusal);
    EXPECT_THROW(insertSinger(state.catalogue(), QStringLiteral("歌") + QChar(0) + QStringLiteral("手"), 0), CatalogueRefusal);
    EXPECT_THROW(insertSinger(state.catalogue(), QStringLiteral("歌手"), 3), CatalogueRefusal);
    EXPECT_THROW(renameSong(state.catalogue(), "102001", QString()), CatalogueRefusal);
    EXPECT_EQ(count("SELECT (SELECT count(*) FROM song) + (SELECT count(*) FROM singer)"), 0);
    store(good);
    EXPECT_EQ(rows("SELECT song_num, song_name FROM song"), QStringList{"102001|歌名"});
}

// One file, whatever spelling its songs were stored in: relative to the program folder, with
// "\" between folders, through a link. Letter case makes another file.
TEST_F(CatalogueLayer, AFileIsFoundAndComparedAsThisMachineNamesIt)
{
    ASSERT_TRUE(QDir(home.path()).mkpath(QStringLiteral("songs")));
    const QString file = mediaFile(QStringLiteral("songs/a.mpg"));
    ASSERT_TRUE(QFile::link(home.path() + QStringLiteral("/songs"), home.file(QStringLiteral("linked"))));
    catalogue.addSong("101001", 1, QStringLiteral("甲"), 1, QStringLiteral("songs\\a.mpg"));
    catalogue.addSong("101002", 1, QStringLiteral("乙"), 1, QStringLiteral(" songs/./a.mpg "));
    catalogue.addSong("101003", 1, QStringLiteral("丙"), 1, home.file(QStringLiteral("linked/a.mpg")));
    catalogue.addSong("101004", 1, QStringLiteral("丁"), 1, home.file(QStringLiteral("songs/A.mpg")));
    catalogue.addSong("101005", 1, QStringLiteral("戊"), 1, file);

    EXPECT_EQ(songFilePath(state.AppPath, QStringLiteral("songs\\a.mpg")), file);
    EXPECT_EQ(songsUsingFile(db(), state.AppPath, file, QStringLiteral("101005")),
              (QStringList{"101001", "101002", "101003"}));

    RegisteredFiles registered(db(), state.AppPath);
    EXPECT_TRUE(registered.contains(file));
    EXPECT_TRUE(registered.contains(home.file(QStringLiteral("songs/A.mpg"))));
    EXPECT_FALSE(registered.contains(home.file(QStringLiteral("Songs/a.mpg"))));
    // Both look-ups walk an index: the condition for other spellings is the index's own.
    EXPECT_EQ(rows("EXPLAIN QUERY PLAN SELECT song_location FROM song WHERE song_location NOT LIKE '/%' OR "
                   "instr(song_location, '\\') > 0 OR instr(song_location, '/.') > 0 OR instr(song_location, '//') > 0")
                  .join(QString())
                  .contains(QStringLiteral("song_by_other_location")),
              true);
}

// The file and the number are decided in the transaction that stores the song.
TEST_F(CatalogueLayer, RegisteringDecidesFileAndNumberWhenTheSongIsStored)
{
    catalogue.addSinger(QStringLiteral("甲"), 0);
    const QString file = mediaFile(QStringLiteral("a.mpg"));
    catalogue.addSong("102001", 1, QStringLiteral("舊歌"), 1, QStringLiteral("other.mpg"));
    RegisteredFiles registered(db(), state.AppPath);

    EXPECT_EQ(registerFile(home.file(QStringLiteral("gone.mpg"))).result, Registration::Result::FileMissing);
    const Registration first = registerFile(QStringLiteral("a.mpg"), {{}, QStringLiteral("102001"), &registered});
    EXPECT_EQ(first.result, Registration::Result::Registered);
    EXPECT_EQ(first.number, QStringLiteral("102002")) << "the number offered was taken";
    EXPECT_EQ(registerFile(file, {{}, {}, &registered}).result, Registration::Result::FileRegistered);
    const Registration replaced = registerFile(file, {QStringLiteral("102001"), {}, nullptr});
    EXPECT_EQ(replaced.number, QStringLiteral("102001"));
    EXPECT_EQ(rows("SELECT song_num, song_name, song_location FROM song ORDER BY song_num"),
              (QStringList{"102001|新歌|" + file, "102002|新歌|a.mpg"}));
}

// Printed lists come in book order (kind, title length, then title, whatever the numbers), and
// "since a date" takes songs of that very day.
TEST_F(CatalogueLayer, ListingsAreInBookOrderAndTakeTheDayTheyStartFrom)
{
    const qint64 jia = catalogue.addSinger(QStringLiteral("甲"), 0);
    const qint64 yi = catalogue.addSinger(QStringLiteral("乙"), 1);
    catalogue.addSong("103001", 1, QStringLiteral("ccc"), jia, {}, "2026/12/04");
    catalogue.addSong("103002", 1, QStringLiteral("aaa"), jia, {}, "2026/12/05");
    catalogue.addSong("103002", 1, QStringLiteral("aaa"), yi, {}, "2026/12/05");
    catalogue.addSong("103003", 1, QStringLiteral("bbb"), 9, {}, "2026/12/06");
    catalogue.addSong("002001", 0, QStringLiteral("zz"), jia, {}, "2026/12/06");
    QStringList listed;
    forEachListedSong(db(), SongFilter::all(), [&](const ListedSong &song) {
        listed.append(song.num + QLatin1Char(' ') + song.name + QLatin1Char(' ') + song.singer);
        return true;
    });
    EXPECT_EQ(listed, (QStringList{"002001 zz 甲", "103002 aaa 甲", "103002 aaa 乙", "103003 bbb 找不到", "103001 ccc 甲"}));

    QStringList since;
    for (const ListedSong &song : listSongsByNumber(db(), SongFilter::since("2026/12/05", QStringLiteral("a"))))
        since.append(song.num + QLatin1Char(' ') + song.singer);
    EXPECT_EQ(since, QStringList{"103002 甲+乙"});
    EXPECT_EQ(countSongs(db(), SongFilter::since("2026/12/05", QString())), 4);
}

} // namespace
