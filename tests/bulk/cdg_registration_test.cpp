// CD+G songs registered in bulk on real folders: a pair of .mp3 and .cdg is one song (its
// .mp3 is what is registered, whichever file names it), a zip file holding a pair is one song,
// and what cannot play (a .cdg alone, a zip file without a pair) is not registered.
#include "bulk/command_line_runs.h"
#include "bulk/file_table.h"
#include "bulk/progress.h"
#include "bulk_fixture.h"
#include "platform/cdg/cdg_song.h"
#include "support/zip_writer.h"

#include <QTextStream>

namespace {

class CdgRegistrationTest : public BulkFixture
{
protected:
    void SetUp() override
    {
        BulkFixture::SetUp();
        catalogue.addSinger(QStringLiteral("Anna"), 1);
        home.write(QStringLiteral("Setting.ini"), home.read(QStringLiteral("Setting.ini")) + "EvenLoudness = 0\n");
    }

    void addZip(const QString &name, const QList<QPair<QString, QByteArray>> &members)
    {
        ASSERT_TRUE(writeZip(song(name), members));
    }
    QStringList locations()
    {
        QStringList found = rows(QStringLiteral("SELECT song_location FROM song ORDER BY song_location"));
        for (QString &location : found)
            location = location.mid(songs().size() + 1);
        return found;
    }
};

class NoStop : public Progress
{
public:
    bool step(int, int, const QString &) override { return true; }
};

} // namespace

TEST_F(CdgRegistrationTest, AFolderRegistersEachPairAndZipFileOnceBesideThePlainSongs)
{
    for (const char *name : {"Anna,Song A,英語,6.mp3", "Anna,Song A,英語,6.cdg", "Anna,Song B,英語,6.MP3",
                             "anna,song b,英語,6.cdg", "Anna,Song D,英語,6.mp3", "Anna,Lone,英語,4.cdg"})
        addFile(QString::fromUtf8(name));
    addZip(QStringLiteral("Anna,Song C,英語,6.zip"), {{"track.cdg", "c"}, {"Track 1.mp3", "m"}});
    addZip(QStringLiteral("Anna,No Pair,英語,7.zip"), {{"readme.txt", "t"}});
    QString printed;
    EXPECT_EQ(registerFolder(&printed), 0) << printed.toStdString();
    EXPECT_EQ(locations(), (QStringList{"Anna,Song A,英語,6.mp3", "Anna,Song B,英語,6.MP3", "Anna,Song C,英語,6.zip",
                                        "Anna,Song D,英語,6.mp3"}));
    EXPECT_TRUE(printed.endsWith(QStringLiteral("已完成4筆資料的登錄! 原已登錄 0 筆, 尚需確認 0 筆\n"))) << printed.toStdString();
    EXPECT_FALSE(printed.contains(QStringLiteral("cdg"), Qt::CaseInsensitive)) << "a pair is listed once";
    EXPECT_FALSE(printed.contains(QStringLiteral("No Pair"))) << printed.toStdString();
    QStringList karaoke;
    for (const QString &location : locations()) {
        if (findCdgSong(song(location)).playable())
            karaoke.append(location);
    }
    EXPECT_EQ(karaoke.size(), 3) << "three play with their pictures, the lone .mp3 as a plain song";
    EXPECT_FALSE(karaoke.contains(QStringLiteral("Anna,Song D,英語,6.mp3")));

    printed.clear();
    EXPECT_EQ(registerFolder(&printed), 0);
    EXPECT_TRUE(printed.endsWith(QStringLiteral("已完成0筆資料的登錄! 原已登錄 4 筆, 尚需確認 0 筆\n"))) << printed.toStdString();
    EXPECT_EQ(songRows(), 4);
}

// A pair registered by its .cdg elsewhere (the song-add window) is known to the folder scan,
// and a list naming either file of a pair registers its .mp3.
TEST_F(CdgRegistrationTest, APairIsOneSongWhicheverOfItsFilesNamesIt)
{
    addFile(QStringLiteral("Anna,Known,英語,5.mp3"));
    const QString knownCdg = addFile(QStringLiteral("Anna,Known,英語,5.cdg"));
    catalogue.addSong(QStringLiteral("401001"), 3, QStringLiteral("Known"), 1, knownCdg);
    addFile(QStringLiteral("07.mp3"));
    addFile(QStringLiteral("07.cdg"));
    addFile(QStringLiteral("08.MP3"));
    addFile(QStringLiteral("08.Cdg"));

    QString printed;
    EXPECT_EQ(registerFolder(&printed), 1) << "the numbered files' names are to be mended";
    EXPECT_TRUE(printed.contains(QStringLiteral("檔案已登錄:Anna,Known,英語,5.mp3"))) << printed.toStdString();
    EXPECT_EQ(songRows(), 1);

    printed.clear();
    EXPECT_EQ(registerList("7,Seven,英語,Anna,5\n08.Cdg,Eight,英語,Anna,5\n", &printed), 0) << printed.toStdString();
    EXPECT_EQ(locations(), (QStringList{"07.mp3", "08.MP3", "Anna,Known,英語,5.cdg"}));
    printed.clear();
    EXPECT_EQ(registerList("07.cdg,Seven,英語,Anna,5\n08.MP3,Eight,英語,Anna,5\n", &printed), 0);
    EXPECT_EQ(songRows(), 3) << "registered once: " << printed.toStdString();
}

TEST_F(CdgRegistrationTest, AListLineNamingACdgSongThatCannotPlayStopsTheRunAndSaysWhy)
{
    addFile(QStringLiteral("lone.cdg"));
    addZip(QStringLiteral("two.zip"), {{"1.cdg", "c"}, {"2.cdg", "c"}, {"1.mp3", "m"}});
    const struct
    {
        QByteArray line;
        QString reason;
    } cases[] = {
        {"lone.cdg,Lone,英語,Anna,4\n", QStringLiteral("CDG 檔旁沒有同名的 MP3 檔!")},
        {"two.zip,Two,英語,Anna,3\n", QStringLiteral("壓縮檔裡要有一個 CDG 檔和一個 MP3 檔!")},
    };
    for (const auto &c : cases) {
        QString printed;
        EXPECT_EQ(registerList(c.line, &printed), 1);
        EXPECT_TRUE(printed.contains(c.reason)) << printed.toStdString();
    }
    EXPECT_EQ(songRows(), 0);
}

// Renaming a pair's row moves its .cdg along, and a new name never changes the kind of file.
TEST_F(CdgRegistrationTest, RenamingAPairMovesBothFilesAndKeepsTheKindOfFile)
{
    addFile(QStringLiteral("Song A.mp3"));
    addFile(QStringLiteral("song a.CDG"));
    addFile(QStringLiteral("Plain.mp3"));
    addFile(QStringLiteral("Taken.cdg"));
    addZip(QStringLiteral("Zipped.zip"), {{"x.cdg", "c"}, {"x.mp3", "m"}});
    FileTable table(state, fakes.fileSystem);
    NoStop progress;
    ASSERT_TRUE(table.scan(songs(), progress));
    ASSERT_EQ(table.size(), 3);
    const auto rowOf = [&](const QString &name) {
        for (int i = 0; i < table.size(); ++i) {
            if (table.row(i).fileName() == name)
                return i;
        }
        return -1;
    };
    const struct
    {
        QString from;
        QString to;
        bool renamed;
    } cases[] = {
        {"Song A.mp3", "Anna,Song A,英語,6.cdg", false},
        {"Song A.mp3", "Anna,Song A,英語,6.mpg", false},
        {"Song A.mp3", "Taken.mp3", false}, // its .cdg would overwrite another
        {"Plain.mp3", "Anna,Plain,英語,5.zip", false},
        {"Zipped.zip", "Anna,Zipped,英語,6.mp3", false},
        {"Zipped.zip", "Anna,Zipped,英語,6.ZIP", true},
        {"Plain.mp3", "Anna,Plain,英語,5.mpg", true},
        {"Song A.mp3", "Anna,Song A,英語,6.MP3", true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.to.toStdString());
        const int row = rowOf(c.from);
        ASSERT_GE(row, 0);
        EXPECT_EQ(table.rename(row, c.to), c.renamed);
    }
    EXPECT_EQ(QDir(songs()).entryList(QDir::Files, QDir::Name),
              (QStringList{"Anna,Plain,英語,5.mpg", "Anna,Song A,英語,6.CDG", "Anna,Song A,英語,6.MP3",
                           "Anna,Zipped,英語,6.ZIP", "Taken.cdg"}));
    EXPECT_EQ(table.row(rowOf(QStringLiteral("Anna,Song A,英語,6.MP3"))).command, RowCommand::Ready);
}
