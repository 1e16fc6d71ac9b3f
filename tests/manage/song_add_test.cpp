// Song registration: the proposed number, every refusal of the save, a new singer on the way,
// a similar title handed to the duplicate-title window.
#include "manage/duplicate_title_dialog.h"
#include "manage/song_add.h"
#include "manage_fixture.h"

#include <QLabel>
#include <QTest>

namespace {

class SongAddWindow : public ManageFixture
{
protected:
    void SetUp() override
    {
        ManageFixture::SetUp();
        singer = catalogue.addSinger(QStringLiteral("江蕙"), 0);
        file = mediaFile(QStringLiteral("song.mpg"));
        catalogue.addSong("105001", 1, QStringLiteral("酒後的心聲"), singer);
        catalogue.addSong("105003", 1, QStringLiteral("家後的人生"), singer);
    }
    SongAdd &window() { return ManageFixture::window<SongAdd>(); }
    // Chooses kind and count as the owner does, leaving each list.
    void pick(int kind, int count)
    {
        if (kind >= 0) {
            window().song_kind->setCurrentIndex(kind);
            window().song_kind_LostFocus();
        }
        if (count > 0) {
            window().song_text_count->setCurrentIndex(count - 1);
            window().song_kind_LostFocus();
        }
    }
    void fill(const QString &title, const QString &singerName, const QString &location)
    {
        window().song_name->setText(title);
        window().singer_name->setText(singerName);
        window().song_location->setText(location);
    }

    qint64 singer = 0;
    QString file;
};

TEST_F(SongAddWindow, ProposesTheNumberOnlyWhenKindAndCountAreChosenAndStoresTheSongAsTyped)
{
    SongAdd &w = window();
    EXPECT_EQ(w.song_build_date->text(), QStringLiteral("2026/12/05"));
    EXPECT_EQ(w.lb_date_struct->text(), QStringLiteral("YYYY/MM/DD\r\nex:今天就設成:2026/12/05"));
    pick(1, 0);
    EXPECT_EQ(w.song_code->text(), QString());
    EXPECT_FALSE(w.song_code->isEnabled());
    pick(-1, 5);
    EXPECT_EQ(w.song_code->text(), QStringLiteral("105002"));
    EXPECT_TRUE(w.song_code->isEnabled());
    pick(2, 0);
    EXPECT_EQ(w.song_code->text(), QStringLiteral("205001"));

    // The song is stored as typed, and the window gets ready for the next.
    pick(1, 5);
    fill(QStringLiteral("It's 100%"), QStringLiteral(" 江蕙 "), QStringLiteral(" ") + file);
    w.song_build_date->setText(QStringLiteral("2026/1/7"));
    click(w, "add_do");
    EXPECT_EQ(shown(), QStringList{"存入ok! 請進行下一首曲的建檔作業"});
    EXPECT_EQ(rows("SELECT song_num, song_kind, song_name, song_text_count, song_singer_code, song_build_date, "
                   "song_location FROM song WHERE song_num = '105002'"),
              QStringList{QStringLiteral("105002|1|It's 100%|5|%1|2026/01/07|%2").arg(singer).arg(file)});
    EXPECT_EQ(w.song_kind->currentIndex(), -1);
    EXPECT_EQ(w.song_text_count->currentIndex(), -1);
    EXPECT_EQ(w.song_code->text(), QString());
    EXPECT_EQ(w.song_name->text(), QString());
    EXPECT_EQ(w.song_build_date->text(), QStringLiteral("2026/12/05"));
    EXPECT_EQ(w.singer_name->text(), QStringLiteral(" 江蕙 ")) << "singer and file stay for the next song";
    EXPECT_EQ(w.song_location->text(), QStringLiteral(" ") + file);
    EXPECT_TRUE(modals.opened.isEmpty());

    // Enter in the file box saves too; the number after 105003 is next.
    pick(1, 5);
    EXPECT_EQ(w.song_code->text(), QStringLiteral("105004"));
    w.song_name->setText(QStringLiteral("第二首"));
    QTest::keyClick(w.song_location, Qt::Key_Return);
    EXPECT_EQ(songLines().last(), QStringLiteral("105004|第二首|%1").arg(singer));
}

TEST_F(SongAddWindow, AnUnknownSingerIsCreatedOnTheWayAndBrowseAndChooseFillTheirBoxes)
{
    modals.on("singer_add", [&](QDialog &dialog) {
        EXPECT_EQ(child<QLineEdit>(dialog, "singer_name").text(), QStringLiteral("伍佰"));
        setText(dialog, "singer_name", QStringLiteral("伍佰 & China Blue"));
        choose(dialog, "singer_sex", 2);
        click(dialog, "Command1");
    });
    SongAdd &w = window();
    pick(1, 4);
    fill(QStringLiteral("挪威森林"), QStringLiteral("伍佰 "), file);
    click(w, "add_do");
    EXPECT_EQ(w.singer_name->text(), QStringLiteral("伍佰 & China Blue"));
    const QStringList stored = rows("SELECT song_num, singer_name, singer_sex FROM song JOIN singer "
                                    "ON singer_code = song_singer_code WHERE song_name = '挪威森林'");
    EXPECT_EQ(stored, QStringList{"104001|伍佰 & China Blue|2"});

    // Closing the dialog without a singer stores nothing and keeps the input.
    modals.clear("singer_add");
    pick(1, 4);
    fill(QStringLiteral("夢醒時分"), QStringLiteral("陳淑樺"), file);
    click(w, "add_do");
    EXPECT_EQ(w.song_name->text(), QStringLiteral("夢醒時分"));
    EXPECT_EQ(songLines().size(), 3);

    // Browse and choose fill their boxes.
    catalogue.addSinger(QStringLiteral("江淑娜"), 0);
    fakes.fileDialogs.answers = {file};
    modals.on("song_add_check_singer_name", [&](QDialog &dialog) {
        auto &list = child<QListWidget>(dialog, "List1");
        QListWidgetItem *item = list.findItems(QStringLiteral("江淑娜"), Qt::MatchExactly).value(0);
        list.setCurrentItem(item);
        emit list.itemDoubleClicked(item);
    });
    w.singer_name->setText(QStringLiteral("江"));
    click(w, "Command1");
    click(w, "check_singr_name");
    EXPECT_EQ(w.song_location->text(), file);
    EXPECT_EQ(w.singer_name->text(), QStringLiteral("江淑娜"));
}

TEST_F(SongAddWindow, ASimilarTitleGoesToTheDuplicateWindow)
{
    modals.on("song_add_same", [&](QDialog &dialog) {
        auto &same = static_cast<DuplicateTitleDialog &>(dialog);
        EXPECT_EQ(same.new_song_name->text(), QStringLiteral("酒後"));
        same.new_song_name->setText(QStringLiteral("酒後的心情"));
        click(same, "new_add");
    });
    SongAdd &w = window();
    pick(1, 5);
    fill(QStringLiteral("酒後 "), QStringLiteral("江蕙"), file);
    click(w, "add_do");
    EXPECT_EQ(shown(), (QStringList{"酒後的心聲與編號105001,江蕙,類似曲名. 請修改或取消登錄!!",
                                    "存入ok! 請進行下一首曲的建檔作業"}));
    EXPECT_EQ(songLines().last(), QStringLiteral("105002|酒後的心情|%1").arg(singer));
    EXPECT_EQ(w.song_name->text(), QString());

    // A like title of another count is not similar.
    pick(1, 3);
    fill(QStringLiteral("酒後的"), QStringLiteral("江蕙"), file);
    click(w, "add_do");
    EXPECT_EQ(modals.opened, QStringList{"song_add_same"});
}

// The number shown is checked again when the song is stored: another program that took it
// meanwhile leaves this song the lowest free number, and the owner is told which.
TEST_F(SongAddWindow, ANumberTakenMeanwhileByAnotherProgramIsNotGivenTwice)
{
    SongAdd &w = window();
    pick(1, 5);
    ASSERT_EQ(w.song_code->text(), QStringLiteral("105002"));
    Database(state.DbPath).ExecuteSql(QStringLiteral("INSERT INTO song (song_num, song_kind, song_name, song_text_count, "
                                                     "song_singer_code, song_build_date, song_location) VALUES "
                                                     "('105002', 1, '別台的歌', 5, 1, '2026/12/05', 'x.mpg')"));
    fill(QStringLiteral("新的歌名"), QStringLiteral("江蕙"), file);
    click(w, "add_do");
    EXPECT_EQ(shown(), QStringList{"編號105002已被使用, 這首歌存為編號105004\n存入ok! 請進行下一首曲的建檔作業"});
    EXPECT_EQ(rows("SELECT song_num FROM song WHERE song_name = '新的歌名'"), QStringList{"105004"});
}

TEST_F(SongAddWindow, ABusyCatalogueDuringTheSaveChangesNothing)
{
    SongAdd &w = window();
    pick(1, 5);
    fill(QStringLiteral("新的歌名"), QStringLiteral("江蕙"), file);
    const std::unique_ptr<Database> other = lockCatalogue();
    click(w, "add_do");
    ASSERT_EQ(shown().size(), 1);
    EXPECT_TRUE(shown()[0].contains(QStringLiteral("資料庫沒有被更動")));
    EXPECT_EQ(w.song_name->text(), QStringLiteral("新的歌名"));
    EXPECT_EQ(w.song_code->text(), QStringLiteral("105002"));
    other->ExecuteSql(QStringLiteral("ROLLBACK"));
    EXPECT_EQ(songLines().size(), 2);
}

} // namespace
