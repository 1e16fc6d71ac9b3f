// Singer management: search, add, rename, delete; songs keep their singer codes throughout.
#include "manage/singer_modify.h"
#include "manage_fixture.h"

namespace {

class SingerModifyWindow : public ManageFixture
{
protected:
    void SetUp() override
    {
        ManageFixture::SetUp();
        faye = catalogue.addSinger(QStringLiteral("王菲"), 0);
        catalogue.addSinger(QStringLiteral("王傑"), 1);
        catalogue.addSong("104001", 1, QStringLiteral("紅豆紅豆"), faye);
        window = std::make_unique<SingerModify>(state, fakes.services, kScreen);
        window->show();
        // The search dialog picks the entry named pick.
        modals.on("singer_modify_check_singer", [this](QDialog &dialog) {
            auto &list = child<QListWidget>(dialog, "List1");
            const QList<QListWidgetItem *> found = list.findItems(pick, Qt::MatchExactly);
            ASSERT_EQ(found.size(), 1);
            list.setCurrentItem(found[0]);
            emit list.itemDoubleClicked(found[0]);
        });
    }
    void search(const QString &typed, const QString &picked)
    {
        pick = picked;
        window->singer_name->setText(typed);
        click(*window, "singer_search");
    }

    qint64 faye = 0;
    QString pick;
    std::unique_ptr<SingerModify> window;
};

TEST_F(SingerModifyWindow, ASearchPickThenRenameKeepsTheSongs)
{
    search(QStringLiteral("王"), QStringLiteral("王菲"));
    EXPECT_EQ(window->singer_name->text(), QStringLiteral("王菲"));
    EXPECT_EQ(window->singer_sex->currentIndex(), 0);
    EXPECT_EQ(window->currentSingerCode(), faye);

    window->singer_name->setText(QStringLiteral(" 王靖雯 "));
    window->singer_sex->setCurrentIndex(2);
    click(*window, "singer_modify_do");
    EXPECT_EQ(shown(), QStringList{"修歌手資料, 王靖雯 ,完成"});
    EXPECT_EQ(singers().first(), QStringLiteral("%1|王靖雯|2").arg(faye));
    EXPECT_EQ(songLines(), QStringList{QStringLiteral("104001|紅豆紅豆|%1").arg(faye)});

    // A name another singer has is accepted on rename.
    window->singer_name->setText(QStringLiteral("王傑"));
    click(*window, "singer_modify_do");
    EXPECT_EQ(rows("SELECT count(*) FROM singer WHERE singer_name = '王傑'"), QStringList{"2"});
}

TEST_F(SingerModifyWindow, DeletingAsksAndLeavesTheSongsWithTheirCode)
{
    click(*window, "delete_do");
    click(*window, "singer_modify_do");
    const QString searchFirst = QStringLiteral("請先按\"找\"鍵來確定輸入的歌手名稱");
    EXPECT_EQ(shown(), (QStringList{searchFirst, searchFirst}));

    search(QStringLiteral("王菲"), QStringLiteral("王菲"));
    shown().clear();
    answer({kNo});
    click(*window, "delete_do");
    EXPECT_EQ(singers().size(), 2);
    answer({kYes});
    click(*window, "delete_do");
    EXPECT_EQ(shown(), (QStringList{"請問是否真的要幹掉王菲這筆資料?", "請問是否真的要幹掉王菲這筆資料?",
                                    "刪除歌手資料,王菲,完成"}));
    EXPECT_EQ(window->singer_name->text(), QString());
    EXPECT_EQ(singers().size(), 1);
    EXPECT_EQ(songLines(), QStringList{QStringLiteral("104001|紅豆紅豆|%1").arg(faye)});

    click(*window, "delete_do"); // the code is kept, the singer is gone
    EXPECT_EQ(shown().last(), searchFirst);
}

TEST_F(SingerModifyWindow, ABusyCatalogueKeepsTheSingerAndTheInput)
{
    search(QStringLiteral("王菲"), QStringLiteral("王菲"));
    window->singer_name->setText(QStringLiteral("菲菲"));
    const std::unique_ptr<Database> other = lockCatalogue();
    click(*window, "singer_modify_do");
    EXPECT_TRUE(shown().last().contains(QStringLiteral("資料庫沒有被更動")));
    EXPECT_EQ(window->singer_name->text(), QStringLiteral("菲菲"));
    other->ExecuteSql(QStringLiteral("ROLLBACK"));
    EXPECT_EQ(singers().first(), QStringLiteral("%1|王菲|0").arg(faye));
}

} // namespace
