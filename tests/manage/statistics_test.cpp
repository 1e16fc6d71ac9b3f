// The catalogue's statistics: the window and the command line print the same seven lines.
#include "manage/manager_song_statu.h"
#include "manage_fixture.h"

#include <QLabel>
#include <QProcess>

namespace {

using Statistics = ManageFixture;

TEST_F(Statistics, TheWindowAndTheCommandLineCountKindsOutsideTheEightInTheTotalOnly)
{
    const qint64 singer = catalogue.addSinger(QStringLiteral("歌手"), 1);
    const int kinds[] = {0, 1, 1, 5, 7, 7, 7, 9, -1};
    int i = 0;
    for (int kind : kinds)
        catalogue.addSong(QString::number(100001 + i++), kind, QStringLiteral("歌"), singer);
    state.db().ExecuteSql(QStringLiteral("UPDATE song SET song_kind = 'x' WHERE song_num = '100009'"));
    const QStringList lines{"目前您的系統中共有 9 首歌", "其中....", "台語類有 1 首歌 ; 國語類有 2 首歌",
                            "客語類有 0 首歌 ;英語類有 0 首歌", "日語類有 0 首歌 ; 兒類有 1 首歌", "其它類有 0 首歌",
                            "粵語類有 3 首歌"};

    ManagerSongStatu &statu = window<ManagerSongStatu>();
    EXPECT_EQ(statu.Picture1->text().split(QLatin1Char('\n')), lines);
    click(statu, "Command1");
    EXPECT_FALSE(statu.isVisible());

    QProcess karaoke;
    karaoke.start(QStringLiteral(KARAOKE_BINARY), {"--home", home.path(), "--statistics"});
    ASSERT_TRUE(karaoke.waitForFinished(30000));
    EXPECT_EQ(karaoke.exitCode(), 0) << karaoke.readAllStandardError().toStdString();
    EXPECT_EQ(QString::fromUtf8(karaoke.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts), lines);
}

} // namespace
