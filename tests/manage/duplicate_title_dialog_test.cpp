// The duplicate-title windows: a new song whose title resembles songs already registered.
#include "manage/duplicate_title_dialog.h"
#include "manage_fixture.h"

#include <QGroupBox>
#include <QLabel>
#include <QTest>

namespace {

using Variant = DuplicateTitleDialog::Variant;
using Outcome = DuplicateResolution::Outcome;

class DuplicateTitle : public ManageFixture
{
protected:
    void SetUp() override
    {
        ManageFixture::SetUp();
        teresa = catalogue.addSinger(QStringLiteral("鄧麗君"), 0);
        faye = catalogue.addSinger(QStringLiteral("王菲"), 0);
        oldFile = mediaFile(QStringLiteral("old.mpg"));
        newFile = mediaFile(QStringLiteral("new.mpg"));
        catalogue.addSong("104001", 1, QStringLiteral("月亮代表"), teresa, oldFile);
        catalogue.addSong("104002", 1, QStringLiteral("月亮好圓"), faye);
        catalogue.addSong("104001", 1, QStringLiteral("月亮代表"), faye, oldFile); // a second singer
        catalogue.addSong("104003", 1, QStringLiteral("月亮彎彎"), teresa);
        newSong = {1, 4, QStringLiteral("月亮"), {faye}, "2026/12/05", newFile};
    }

    DuplicateTitleDialog &window(Variant variant = Variant::song_add_same, const QString &number = "104004")
    {
        m_window = std::make_unique<DuplicateTitleDialog>(variant, newSong, number, state, fakes.services, kScreen);
        m_window->show();
        return *m_window;
    }
    QStringList titles()
    {
        QStringList list;
        for (int i = 0; i < m_window->org_song_name->count(); ++i)
            list.append(m_window->org_song_name->itemText(i));
        return list;
    }

    qint64 teresa = 0;
    qint64 faye = 0;
    QString oldFile;
    QString newFile;
    NewSong newSong;

private:
    std::unique_ptr<DuplicateTitleDialog> m_window;
};

TEST_F(DuplicateTitle, ShowsTheSimilarSongsInCatalogueOrderAndRefusesTypingOverThem)
{
    DuplicateTitleDialog &w = window();
    EXPECT_EQ(w.new_song_name->text(), QStringLiteral("月亮"));
    EXPECT_EQ(titles(), (QStringList{"月亮代表", "月亮好圓", "月亮代表", "月亮彎彎"}));
    EXPECT_EQ(w.org_song_singer_lab->text(), QStringLiteral("演唱者:鄧麗君"));
    QTest::keyClicks(w.org_song_name->lineEdit(), QStringLiteral("x"));
    EXPECT_EQ(shown(), QStringList{"您不可以修改本欄位資料, 若想要修改曲名請在下列新曲名修改"});
    EXPECT_EQ(w.org_song_name->currentText(), QStringLiteral("月亮代表"));
    w.org_song_name->setCurrentIndex(1);
    w.org_song_name_Click();
    EXPECT_EQ(w.org_song_singer_lab->text(), QStringLiteral("演唱者:王菲"));
}

TEST_F(DuplicateTitle, RegisteringAnywayStoresTheTitleAsEdited)
{
    for (Variant variant : {Variant::song_add_same, Variant::batch_same}) {
        shown().clear();
        const bool batch = variant == Variant::batch_same;
        newSong.location = batch ? mediaFile(QStringLiteral("new2.mpg")) : newFile;
        DuplicateTitleDialog &w = window(variant, batch ? "104005" : "104004");
        w.new_song_name->setText(QStringLiteral("月亮's 100%"));
        click(w, "new_add");
        EXPECT_EQ(w.resolution().outcome(), Outcome::Registered);
        EXPECT_FALSE(w.isVisible());
        EXPECT_EQ(shown(), QStringList{variant == Variant::song_add_same ? "存入ok! 請進行下一首曲的建檔作業"
                                                                         : "存入ok! 請進行下一首曲的批次作業"});
    }
    EXPECT_EQ(rows("SELECT song_num, song_kind, song_name, song_text_count, song_singer_code, song_build_date, "
                   "song_location FROM song WHERE song_num = '104004'"),
              QStringList{QStringLiteral("104004|1|月亮's 100%|4|%1|2026/12/05|%2").arg(faye).arg(newFile)});

    // From a list run, a file registered meanwhile is passed over.
    click(window(Variant::batch_same, "104006"), "new_add");
    EXPECT_EQ(shown().last(), QStringLiteral("檔案已登錄:") + newSong.location);
    EXPECT_EQ(songLines().size(), 6);
}

TEST_F(DuplicateTitle, GivingUpDeletesTheNewFileOnlyWhenAsked)
{
    const struct { QList<MessageBoxes::Answer> answers; Outcome outcome; bool fileKept; } cases[] = {
        {{kNo}, Outcome::Undecided, true},              // not really giving up
        {{kYes, kNo}, Outcome::GivenUp, true},          // giving up, keeping the file
        {{kYes, kYes}, Outcome::GivenUp, false},        // giving up with the file
    };
    for (const auto &c : cases) {
        fakes.messageBoxes.answers = c.answers;
        DuplicateTitleDialog &w = window();
        click(w, "new_cancel");
        EXPECT_EQ(w.resolution().outcome(), c.outcome);
        EXPECT_EQ(QFile::exists(newFile), c.fileKept);
        EXPECT_EQ(songLines().size(), 4);
    }
    EXPECT_EQ(shown().mid(0, 3), (QStringList{"您這新進的歌真的不登錄? 是否真的要算了而進行下一首歌的登錄?",
                                              "您這新進的歌真的不登錄? 是否真的要算了而進行下一首歌的登錄?",
                                              "是否要一起刪除這新進歌曲的檔案?"}));

    // A file another song plays is deleted only after another Yes.
    newSong.location = oldFile; // the owner pointed the new song at a registered file
    answer({kYes, kYes, kNo});
    click(window(), "new_cancel");
    EXPECT_TRUE(QFile::exists(oldFile));
    EXPECT_TRUE(shown().last().startsWith(QStringLiteral("編號104001的歌曲也使用這個檔案")));
}

TEST_F(DuplicateTitle, DeletingAnOldSongGivesItsNumberToTheNewSong)
{
    answer({kYes, kYes});
    DuplicateTitleDialog &w = window();
    click(w, "org_kill");
    EXPECT_EQ(w.resolution().outcome(), Outcome::Registered);
    EXPECT_FALSE(w.isVisible());
    EXPECT_FALSE(QFile::exists(oldFile));
    EXPECT_EQ(songLines(), (QStringList{QStringLiteral("104002|月亮好圓|%1").arg(faye),
                                    QStringLiteral("104003|月亮彎彎|%1").arg(teresa),
                                    QStringLiteral("104001|月亮|%1").arg(faye)}));
    EXPECT_EQ(shown(), (QStringList{"若是刪除舊曲, 則舊曲的歌檔也會從系統中刪除掉!\n而舊曲的曲目編號也會即時讓給新的登錄!!\n請確定",
                                    "舊曲目已刪除, 是否讓新曲目替換上?", "存入ok! 請進行下一首曲的建檔作業"}));
}

TEST_F(DuplicateTitle, AfterDeletingAnOldSongGivingUpAsksAboutItFirst)
{
    answer({kYes, kNo});
    DuplicateTitleDialog &w = window(Variant::batch_same);
    click(w, "org_kill");
    EXPECT_TRUE(w.isVisible());
    EXPECT_FALSE(w.Frame1->isEnabled());
    EXPECT_EQ(w.Frame1->title(), QStringLiteral("原本歌曲登錄及檔案已刪除"));
    EXPECT_EQ(w.resolution().number(), QStringLiteral("104001"));

    shown().clear();
    answer({kNo});
    click(w, "new_cancel");
    EXPECT_EQ(shown(), QStringList{"原本的歌曲檔及其登錄已經被您刪除了,請問您是否真的要取消這首新進歌曲的新登錄?"});
    answer({kYes, kYes, kNo});
    click(w, "new_cancel");
    EXPECT_EQ(w.resolution().outcome(), Outcome::GivenUp);
    EXPECT_EQ(songLines().size(), 2);
}

// The old song's removal is committed before the next question, so other programs are not kept
// waiting while it is up; closing the window then asks the same question as the button did. A
// new song pointing at the old song's very file, in another spelling, keeps that file.
TEST_F(DuplicateTitle, AfterTheOldSongIsDeletedTheCloseBoxAsksAndNoLockWaitsOnTheOwner)
{
    newSong.location = QStringLiteral("old.mpg");
    Database other(state.DbPath);
    other.setBusyWait(20);
    bool othersCouldWrite = false;
    fakes.messageBoxes.onShow = [&](const QString &text) {
        if (text == QStringLiteral("舊曲目已刪除, 是否讓新曲目替換上?"))
            othersCouldWrite = other.ExecuteSql(QStringLiteral("UPDATE singer SET singer_sex = 1 WHERE singer_code = ?"),
                                                {faye}) == 1;
    };
    answer({kYes, kNo, kYes});
    DuplicateTitleDialog &w = window();
    click(w, "org_kill");
    EXPECT_TRUE(othersCouldWrite);
    EXPECT_TRUE(w.isVisible());
    w.close();
    EXPECT_EQ(w.resolution().outcome(), Outcome::Registered);
    EXPECT_EQ(shown().count(QStringLiteral("舊曲目已刪除, 是否讓新曲目替換上?")), 2);
    EXPECT_TRUE(QFile::exists(oldFile));
    EXPECT_EQ(rows("SELECT song_num, song_location FROM song WHERE song_name = '月亮'"), QStringList{"104001|old.mpg"});
}

TEST_F(DuplicateTitle, ABusyCatalogueLeavesTheOldSongAndItsFile)
{
    answer({kYes, kYes});
    DuplicateTitleDialog &w = window();
    const std::unique_ptr<Database> other = lockCatalogue();
    click(w, "org_kill");
    EXPECT_TRUE(w.isVisible());
    EXPECT_TRUE(w.Frame1->isEnabled());
    EXPECT_TRUE(QFile::exists(oldFile));
    EXPECT_EQ(w.resolution().number(), QStringLiteral("104004"));
    EXPECT_TRUE(shown().last().contains(QStringLiteral("資料庫沒有被更動")));
    other->ExecuteSql(QStringLiteral("COMMIT"));
    EXPECT_EQ(songLines().size(), 4);
}

TEST_F(DuplicateTitle, RenamingAnOldSongRefreshesTheListAndPreviewsPlayBothFiles)
{
    notePreviews(2);
    DuplicateTitleDialog &w = window();
    w.org_song_name->setCurrentIndex(2);
    w.org_renew->setText(QStringLiteral(" 月亮代表我的心 "));
    click(w, "org_modify");
    EXPECT_EQ(titles(), (QStringList{"月亮代表我的心", "月亮好圓", "月亮代表我的心", "月亮彎彎"}));
    EXPECT_EQ(w.org_song_name->currentIndex(), 2) << "the selection is kept";
    EXPECT_EQ(shown(), QStringList{"舊曲名已修改為月亮代表我的心"});
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(rows("SELECT DISTINCT song_name FROM song WHERE song_num = '104001'"), QStringList{"月亮代表我的心"});

    click(w, "new_view");
    click(w, "org_view");
    EXPECT_EQ(previews, (QStringList{"瀏覽新進的歌曲檔|file://" + newFile, "瀏覽原本的歌曲檔|file://" + oldFile}));
}

} // namespace
