// The catalogue is an ordinary SQLite file: the owner (or a helper) changes songs and singers
// with the sqlite3 shell, and the program lists them in stroke order in the menu, the song book
// and the phone search, the deleted ones nowhere; a copy taken while the program is closed is
// the whole catalogue.
#include "catalogue/singer_records.h"
#include "catalogue/song_registration.h"
#include "core/catalogue_upkeep.h"
#include "core/lookups.h"
#include "phone/song_search_index.h"
#include "support/catalogue_fixture.h"
#include "support/program_run.h"
#include "support/sqlite_shell.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QThread>

namespace {

class OtherTools : public CatalogueFixture
{
protected:
    // A song registered by the program itself, through its store.
    QString registerSong(const QString &title, qint64 singer)
    {
        const QString file = mediaFile(title + QStringLiteral(".mpg"));
        return ::registerSong(state.catalogue(), fileSystem, state.AppPath,
                              {1, int(title.size()), title, {singer}, QStringLiteral("2026/12/01"), file})
            .number;
    }
    QStringList menuList()
    {
        QStringList titles;
        if (LoadSongsByKindAndCount(state, 1, 2)) {
            for (int i = 0; i < state.SongList.count(); ++i)
                titles.append(state.SongList.row(i).text.section(QStringLiteral("--"), 0, 0));
        }
        return titles;
    }
    QStringList singers(int sex)
    {
        QStringList names;
        if (LoadSingersBySex(state, sex)) {
            for (int i = 0; i < state.SingerList.count(); ++i)
                names.append(state.SingerList.row(i).text);
        }
        return names;
    }
    // The titles of the song book the program prints, first page, in the order printed.
    QStringList bookTitles(const QStringList &among)
    {
        const QString pdf = home.file(QStringLiteral("book.pdf"));
        const ProgramRun run = runProgram(QStringLiteral(KARAOKE_PROGRAM),
                                          {QStringLiteral("--home"), home.path(), QStringLiteral("--print-book"), pdf});
        EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
        const QString text = runProgram(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")}).out;
        QList<std::pair<qsizetype, QString>> found;
        for (const QString &title : among) {
            if (const qsizetype at = text.indexOf(title); at >= 0)
                found.append({at, title});
        }
        std::sort(found.begin(), found.end());
        QStringList titles;
        for (const auto &[at, title] : found)
            titles.append(title);
        return titles;
    }
};

TEST_F(OtherTools, SongsWrittenWithTheSqliteShellAreListedInStrokeOrderOnceTheProgramNoticesThem)
{
    REQUIRE_SQLITE_SHELL();
    const qint64 singer = insertSinger(state.catalogue(), QStringLiteral("歌手"), 1);
    const QString sunny = registerSong(QStringLiteral("晴天"), singer);
    registerSong(QStringLiteral("愛歌"), singer);
    const QString dragon = registerSong(QStringLiteral("龍歌"), singer);
    SongSearchIndex search;
    search.refresh(reader);
    // The jukebox runs while the owner works in the shell.
    const CatalogueUpkeep upkeep(state.DbPath);

    const ProgramRun shell = sqliteShell(
        state.DbPath,
        QStringLiteral("INSERT INTO singer (singer_name, singer_sex) VALUES ('林小美', 0);"
                       "INSERT INTO singer (singer_name, singer_sex) VALUES ('一丁', 0);"
                       "INSERT INTO song (song_num, song_kind, song_name, song_text_count, song_singer_code, "
                       "song_build_date, song_location) VALUES ('102101', 1, '一歌', 2, "
                       "(SELECT singer_code FROM singer WHERE singer_name = '林小美'), '2026/12/02', '/songs/x1.mpg');"
                       "INSERT INTO song VALUES ('102102', 1, '山歌', 2, "
                       "(SELECT singer_code FROM singer WHERE singer_name = '一丁'), '2026/12/02', '/songs/x2.mpg');"
                       "INSERT INTO song (song_num, song_kind, song_name, song_text_count, song_singer_code) "
                       "VALUES ('102103', 1, '天歌', 2, %1);"
                       "UPDATE song SET song_name = '小歌' WHERE song_num = '%2';"
                       "DELETE FROM song WHERE song_num = '%3';"
                       "PRAGMA integrity_check;")
            .arg(singer)
            .arg(dragon, sunny));
    ASSERT_EQ(shell.exitCode, 0) << shell.err.toStdString();
    EXPECT_EQ(shell.out.trimmed(), QStringLiteral("ok"));

    const QStringList expected = {"一歌", "小歌", "山歌", "天歌", "愛歌"};
    const QStringList newSingers = {"一丁", "林小美"};
    QElapsedTimer waited;
    waited.start();
    while ((menuList() != expected || singers(0) != newSingers) && waited.elapsed() < 10000)
        QThread::msleep(50);
    EXPECT_EQ(menuList(), expected) << "the menu, after the program noticed";
    EXPECT_EQ(singers(0), newSingers);

    search.refresh(reader);
    QStringList found;
    for (const SongEntry &song : search.find(QStringLiteral("歌"), 1).songs)
        found.append(song.title);
    EXPECT_EQ(found, expected) << "the phone search";

    EXPECT_EQ(bookTitles({"晴天", "一歌", "小歌", "山歌", "天歌", "愛歌", "龍歌"}), expected) << "the song book";
    // Nothing of the program's own stands in the way of the next tool either.
    EXPECT_EQ(sqliteShell(state.DbPath, QStringLiteral("SELECT count(*) FROM sqlite_master WHERE sql LIKE '%COLLATE STROKE%';"
                                                       "SELECT count(*) FROM pragma_table_info('song');"))
                  .out.split(QLatin1Char('\n'), Qt::SkipEmptyParts),
              QStringList({"0", "7"}));
}

// Another program may keep the file open (a database browser left running): when the program
// ends, what it wrote is in the file itself all the same, so a copy of the file alone is whole.
TEST_F(OtherTools, ACopyOfTheFileTakenWhileTheProgramIsClosedIsTheWholeCatalogue)
{
    REQUIRE_SQLITE_SHELL();
    home.write("Setting.ini", home.read("Setting.ini") + "EvenLoudness = 0\n");
    insertSinger(state.catalogue(), QStringLiteral("甲"), 0);
    QDir(home.path()).mkpath(QStringLiteral("new"));
    for (int i = 0; i < 300; ++i)
        home.write(QStringLiteral("new/甲,歌%1,國語,4.mpg").arg(i, 3, 10, QLatin1Char('0')), "media");
    reader.OpenRecordset(QStringLiteral("SELECT count(*) FROM song")); // an idle connection of another program

    const ProgramRun run = runProgram(QStringLiteral(KARAOKE_PROGRAM), {QStringLiteral("--home"), home.path(),
                                                                        QStringLiteral("--register-folder"), home.file("new")});
    ASSERT_EQ(run.exitCode, 0) << run.out.right(300).toStdString() << run.err.toStdString();
    TempHome elsewhere;
    ASSERT_TRUE(QFile::copy(state.DbPath, elsewhere.file(QStringLiteral("copy.mdb"))));
    const ProgramRun copied = sqliteShell(elsewhere.file(QStringLiteral("copy.mdb")),
                                          QStringLiteral("SELECT count(*) FROM song; PRAGMA integrity_check;"));
    EXPECT_EQ(copied.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts), QStringList({"300", "ok"})) << copied.err.toStdString();
}

} // namespace
