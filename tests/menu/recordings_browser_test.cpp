#include "menu/menu_fixture.h"

#include "support/fake_media_player.h"

#include <QDir>
#include <QPushButton>
#include <QFile>

namespace {

class RecordingsBrowserTest : public MenuFixture
{
protected:
    void SetUp() override
    {
        MenuFixture::SetUp();
        for (int i = 1; i <= 9; ++i)
            addRecording(QStringLiteral("take%1.wav").arg(i));
    }
    void addRecording(const QString &name) { home.write(QStringLiteral("Record/") + name, "RIFF"); }
    bool recorded(const QString &name) const { return QFile::exists(home.file(QStringLiteral("Record/") + name)); }
    FakeMediaPlayer &wmpMain() { return *fakes.mediaPlayers.created.front(); }
    QStringList rows() { return screen().mid(0, state.PageRows); }
};

TEST_F(RecordingsBrowserTest, ListsPlaysStopsAndDeletesEvenWhilePlayingWhateverTheFolderAndTheFilesGoneMeanwhile)
{
    type("7");
    EXPECT_EQ(menuState(), "7");
    EXPECT_EQ(rows(), QStringList({"1. take1.wav", "2. take2.wav", "3. take3.wav", "4. take4.wav", "5. take5.wav",
                                   "6. take6.wav", "7. take7.wav", "8. take8.wav"}));
    EXPECT_EQ(screen().mid(state.PageRows), QStringList({"第 1 頁", "錄音檔瀏覽 選 \"0\" 可回主目錄"}));
    EXPECT_EQ(menu().number_de->text(), "上頁");

    addRecording("take9b.wav");
    type("+");
    EXPECT_EQ(rows().mid(0, 3), QStringList({"1. take9.wav", "2. take9b.wav", "3."}))
        << "a take made while the list is shown is there at the next key";
    type("3\r");
    EXPECT_EQ(menuState(), "7") << "a row past the end";
    EXPECT_EQ(menu().menu().InputBuffer, "");
    type("9\r");
    EXPECT_EQ(menu().menu().InputBuffer, "9") << "a row number above the page is ignored";
    type(".-");
    type("99999999999999999999\r");
    EXPECT_EQ(menuState(), "7") << "a number too large for the integers";
    type("....................");

    type("2\r");
    EXPECT_EQ(menuState(), "7_1");
    const QStringList file = screen();
    ASSERT_GE(file.size(), 4);
    EXPECT_EQ(file.mid(0, 3), QStringList({"您選定的音訊檔資訊如下:", "take2.wav", "錄製時間:"}));
    EXPECT_TRUE(QDateTime::fromString(file.at(3), "yyyy/MM/dd HH:mm:ss").isValid()) << file.at(3).toStdString();
    EXPECT_EQ(file.mid(4), QStringList({"1: 播放", "2: 停止", "3: 刪除檔案", "0: 離開"}));

    type("1\r");
    const QString url = "file://" + home.file("Record/take2.wav");
    EXPECT_EQ(wmpMain().requests, QStringList({"url " + url, "play"}));
    EXPECT_EQ(wmpMain().volume(), 100);
    EXPECT_EQ(echo(), "播放中");
    type("1\r");
    EXPECT_EQ(wmpMain().requests.count("play"), 1) << "a second 1 does nothing while it plays";

    type("2\r");
    EXPECT_EQ(echo(), "停止");
    EXPECT_EQ(wmpMain().playState(), PlayState::Undefined);

    type("1\r");
    ASSERT_EQ(wmpMain().playState(), PlayState::Playing);
    type("3\r");
    EXPECT_EQ(wmpMain().requests.mid(wmpMain().requests.size() - 2), QStringList({"stop", "close"}));
    EXPECT_FALSE(recorded("take2.wav"));
    EXPECT_EQ(menuState(), "7");
    EXPECT_EQ(rows().mid(0, 2), QStringList({"1. take1.wav", "2. take3.wav"})) << "back on page 1 without it";
    EXPECT_EQ(QDir(home.file("Record")).entryList(QDir::Files).size(), 9) << "nothing else is deleted";

    type("0\r");
    EXPECT_EQ(menuState(), "0");

    // The record folder with or without a separator, and files gone meanwhile.
    for (const QString &suffix : {QString(), QStringLiteral("/")}) {
        state.settings.RecordPath = home.file("Record") + suffix;
        menu().show_main_menu();
        type("7");
        type("1\r1\r");
        EXPECT_EQ(wmpMain().url(), "file://" + home.file("Record/take1.wav")) << suffix.toStdString();
        type("0\r");
        EXPECT_EQ(wmpMain().playState(), PlayState::Undefined) << "leaving the file stops it";
        EXPECT_EQ(menuState(), "7");
    }

    type("3\r");
    QFile::remove(home.file("Record/take4.wav")); // someone else deletes it while it is shown
    type("1\r");
    EXPECT_EQ(echo(), "找不到這個檔案");
    EXPECT_NE(wmpMain().requests.last(), "play");
    type("3\r");
    EXPECT_EQ(menuState(), "7");
    EXPECT_EQ(rows().at(2), "3. take5.wav");

    type("1\r1\r");
    wmpMain().fail("cannot decode");
    EXPECT_EQ(echo(), "無法播放這個檔案");

    type("0\r0\r");
    QDir(home.file("Record")).removeRecursively();
    type("7");
    EXPECT_EQ(rows(), QStringList({"1.", "2.", "3.", "4.", "5.", "6.", "7.", "8."})) << "no folder lists as empty";
    type("1\r");
    EXPECT_EQ(menuState(), "7");
}

} // namespace
