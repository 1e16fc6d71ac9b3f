// Song modification: search, pick, save, delete with and without the file, preview.
#include "manage/song_modify.h"
#include "manage_fixture.h"

#include <QGroupBox>

namespace {

class SongModifyWindow : public ManageFixture
{
protected:
    void SetUp() override
    {
        ManageFixture::SetUp();
        jay = catalogue.addSinger(QStringLiteral("周杰倫"), 1);
        jolin = catalogue.addSinger(QStringLiteral("蔡依林"), 0);
        file = mediaFile(QStringLiteral("duet.mpg"));
        catalogue.addSong("103001", 1, QStringLiteral("說好的"), jay);
        catalogue.addSong("104001", 1, QStringLiteral("布拉格廣場"), jolin, file);
        catalogue.addSong("104001", 1, QStringLiteral("布拉格廣場"), jay, file); // a duet
        catalogue.addSong("104002", 1, QStringLiteral("100%愛"), jolin);
        catalogue.addSong("104003", 1, QStringLiteral("1000愛"), jolin);
        catalogue.addSong("102001", 1, QStringLiteral("孤兒"), 999); // no singer row
        window = std::make_unique<SongModify>(state, fakes.services, kScreen);
        window->show();
    }
    QStringList listed() { return entries(*window->List1); }
    void search(const QString &title, const QString &singer)
    {
        window->keyword_song->setText(title);
        window->keyword_singer->setText(singer);
        click(*window, "key_search");
    }
    void pickRow(int row)
    {
        window->List1->setCurrentRow(row);
        window->List1_Click();
    }

    qint64 jay = 0;
    qint64 jolin = 0;
    QString file;
    std::unique_ptr<SongModify> window;
};

TEST_F(SongModifyWindow, SearchesTitleOrNumberAndSingerAndAPickFillsTheEditArea)
{
    const struct { QString title; QString singer; QStringList entries; } cases[] = {
        {"", "", {"103001-說好的 -- 周杰倫", "104002-100%愛 -- 蔡依林", "104003-1000愛 -- 蔡依林",
                  "104001-布拉格廣場 -- 蔡依林", "104001-布拉格廣場 -- 周杰倫"}},
        {"100%", "", {"104002-100%愛 -- 蔡依林"}}, // "%" is itself
        {"拉格", " 周 ", {"104001-布拉格廣場 -- 周杰倫"}},
        {"4003", "", {"104003-1000愛 -- 蔡依林"}}, // a number fragment
        {"布拉格", "王", {}},
    };
    for (const auto &c : cases) {
        search(c.title, c.singer);
        EXPECT_EQ(listed(), c.entries) << c.title.toStdString();
    }

    EXPECT_FALSE(window->data_area->isEnabled());
    search(QStringLiteral("布拉格"), QString());
    pickRow(1);
    EXPECT_TRUE(window->data_area->isEnabled());
    EXPECT_EQ(window->song_name->text(), QStringLiteral("布拉格廣場"));
    EXPECT_EQ(window->song_kind->currentText(), QStringLiteral("1.國語"));
    EXPECT_EQ(window->song_text_count->currentText(), QStringLiteral("5"));
    EXPECT_EQ(window->song_num->text(), QStringLiteral("104001"));
    EXPECT_EQ(window->song_build_date->text(), QStringLiteral("2026/12/01"));
    EXPECT_EQ(window->song_location->text(), file);
    EXPECT_EQ(window->singer_name->text(), QStringLiteral("蔡依林")) << "the first row of the number";
    search(QStringLiteral("布拉格"), QString());
    EXPECT_FALSE(window->data_area->isEnabled());
}

TEST_F(SongModifyWindow, SavingUpdatesEveryRowOfTheNumberAndAddsANewSinger)
{
    search(QStringLiteral("布拉格"), QString());
    pickRow(0);
    window->song_name->setText(QStringLiteral("布拉格's 廣場"));
    window->song_text_count->setCurrentIndex(6);
    window->song_build_date->setText(QStringLiteral("2027-1-2"));
    window->singer_name->setText(QStringLiteral("周杰倫"));
    click(*window, "key_modify");
    EXPECT_TRUE(shown().isEmpty());
    EXPECT_EQ(rows("SELECT song_num, song_name, song_text_count, song_singer_code, song_build_date FROM song "
                   "WHERE song_num = '104001'"),
              QStringList(2, QStringLiteral("104001|布拉格's 廣場|7|%1|2027/01/02").arg(jay)));
    EXPECT_EQ(listed().mid(0, 2), QStringList(2, QStringLiteral("104001-布拉格's 廣場 -- 周杰倫")));

    // A singer not in the catalogue is added on the way, and its name written here.
    modals.on("singer_add", [&](QDialog &dialog) {
        setText(dialog, "singer_name", QStringLiteral("五月天"));
        choose(dialog, "singer_sex", 2);
        click(dialog, "Command1");
    });
    search(QStringLiteral("說好"), QString());
    pickRow(0);
    window->singer_name->setText(QStringLiteral("五月"));
    click(*window, "key_modify");
    EXPECT_EQ(window->singer_name->text(), QStringLiteral("五月天"));
    EXPECT_EQ(rows("SELECT singer_name FROM song JOIN singer ON singer_code = song_singer_code "
                   "WHERE song_num = '103001'"),
              QStringList{"五月天"});
}

TEST_F(SongModifyWindow, PreviewPlaysTheFileInTheBoxAndDeletingRemovesEveryRowAndTheFileOnlyWhenAsked)
{
    notePreviews(2);
    search(QStringLiteral("布拉格"), QString());
    pickRow(0);
    click(*window, "view_file");
    // A location relative to the program folder plays the same file.
    window->song_location->setText(QStringLiteral(" duet.mpg "));
    click(*window, "view_file");
    EXPECT_EQ(previews, QStringList(2, QStringLiteral("布拉格廣場 預覽|file://") + file));

    search(QString(), QStringLiteral("蔡"));
    pickRow(2); // 104001, the duet
    answer({kYes, kNo});
    click(*window, "key_delete");
    EXPECT_TRUE(QFile::exists(file));
    EXPECT_EQ(rows("SELECT count(*) FROM song WHERE song_num = '104001'"), QStringList{"0"});
    EXPECT_EQ(listed(), (QStringList{"104002-100%愛 -- 蔡依林", "104003-1000愛 -- 蔡依林"}));
    EXPECT_EQ(window->song_name->text(), QString());
    EXPECT_FALSE(window->data_area->isEnabled());
    EXPECT_EQ(shown(), (QStringList{"是否要刪除編號104001,布拉格廣場,這首歌?", "是否要刪除編號104001,布拉格廣場,這首歌的檔?"}));

    // A location relative to the program folder, with "\" between folders, is the same file.
    catalogue.addSong("104009", 1, QStringLiteral("倒帶"), jolin, QStringLiteral(".\\duet.mpg"));
    search(QStringLiteral("倒帶"), QString());
    pickRow(0);
    answer({kYes, kYes});
    click(*window, "key_delete");
    EXPECT_FALSE(QFile::exists(file));

    search(QStringLiteral("1000"), QString());
    pickRow(0);
    answer({kNo});
    click(*window, "key_delete");
    EXPECT_EQ(listed().size(), 1);
}

TEST_F(SongModifyWindow, ABusyCatalogueDuringADeleteKeepsSongAndFile)
{
    search(QStringLiteral("布拉格"), QString());
    pickRow(0);
    answer({kYes, kYes});
    const std::unique_ptr<Database> other = lockCatalogue();
    click(*window, "key_delete");
    EXPECT_TRUE(QFile::exists(file));
    EXPECT_TRUE(window->data_area->isEnabled());
    other->ExecuteSql(QStringLiteral("ROLLBACK"));
    EXPECT_EQ(rows("SELECT count(*) FROM song WHERE song_num = '104001'"), QStringList{"2"});
}

} // namespace
