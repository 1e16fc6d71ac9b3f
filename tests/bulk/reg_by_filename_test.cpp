// Registration by file name, driven through the window on a real folder and catalogue.
#include "bulk/progress_strip.h"
#include "bulk/reg_by_filename.h"
#include "bulk/reg_by_filename_modify_filename.h"
#include "bulk/reg_by_filename_same.h"
#include "bulk_fixture.h"
#include "platform/media_player.h"
#include "playback/small_view.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>

namespace {

class RegByFilenameTest : public BulkFixture
{
protected:
    void SetUp() override
    {
        BulkFixture::SetUp();
        singerA = catalogue.addSinger(QStringLiteral("甲"), 0);
        singerB = catalogue.addSinger(QStringLiteral("乙"), 1);
    }

    RegByFilename &window()
    {
        if (!m_window)
            m_window = std::make_unique<RegByFilename>(state, fakes.services, QSize(1280, 720));
        return *m_window;
    }

    void scan()
    {
        fakes.fileDialogs.answers.append(song(QStringLiteral("whatever.txt")));
        window().cmdBrowse_Click();
    }

    QStringList lines()
    {
        QStringList texts;
        for (int i = 0; i < window().lstFileInfo->count(); ++i)
            texts.append(window().lstFileInfo->item(i)->text());
        return texts;
    }

    int rowOf(const QString &fileName)
    {
        for (int i = 0; i < window().table().size(); ++i) {
            if (window().table().row(i).fileName() == fileName)
                return i;
        }
        ADD_FAILURE() << "no row for " << fileName.toStdString();
        return -1;
    }

    // Selects the file's entry as a click would and returns the message line.
    QString click(const QString &fileName)
    {
        window().lstFileInfo->setCurrentRow(rowOf(fileName));
        window().lstFileInfo_Click();
        return window().labSongInfo->text();
    }

    // Chooses a command for the file's row in the duplicate dialog.
    void decide(const QString &fileName, const std::function<void(RegByFilenameSame &)> &inDialog)
    {
        click(fileName);
        modals.on("reg_by_filename_Same", [inDialog](QDialog &d) { inDialog(dynamic_cast<RegByFilenameSame &>(d)); });
        window().cmdRepeadCom_Click();
    }

    qint64 singerA = 0;
    qint64 singerB = 0;
    std::unique_ptr<RegByFilename> m_window;
};

TEST_F(RegByFilenameTest, ScanListsEachMediaFileWithItsStatusLineAndClickMessage)
{
    catalogue.addSong(QStringLiteral("003001"), 0, QStringLiteral("老歌謠"), singerA);
    const QString registered = addFile(QStringLiteral("已登錄的檔.mpg"));
    catalogue.addSong(QStringLiteral("104001"), 1, QStringLiteral("舊的一首"), singerA, registered);
    for (const char *name : {"甲,歌一,國語,2.mpg", "甲,歌二,國語.mpg", "甲,歌三,火星語,2.avi", "甲,歌四,國語,0.wav",
                             "甲,歌四,國語,255.wav", "甲,歌四,國語,abc.mp3", "甲 + 乙 , 歌五 , 粵語 , 254 .MID",
                             "丙,歌六,國語,2.mpeg", "甲,老歌,台語,3.DAT", "readme.txt", "cover.jpg"})
        addFile(QString::fromUtf8(name));
    scan();

    EXPECT_EQ(window().table().size(), 10);
    const QStringList shown = lines();
    struct Expected
    {
        const char *file;
        const char *line;
        const char *message;
        bool addSinger;
        bool repeat;
    };
    const Expected expected[] = {
        {"甲,歌一,國語,2.mpg", "準備登錄:甲,歌一,國語,2字部", "此檔已可準備登錄系統", false, false},
        {"甲,歌二,國語.mpg", "檔名格式有誤,請修正:甲,歌二,國語.mpg <----請修正檔名<<<<<<<<<<<<<<<<<<<<<",
         " 參數不夠;請用:歌手1+歌手2,歌名,種類,字數.副檔名 , 共4個餐數值. 雙擊可改檔名!", false, false},
        {"甲,歌三,火星語,2.avi", "檔名格式有誤,請修正:甲,歌三,火星語,2.avi <----請修正檔名<<<<<<<<<<<<<<<<<<<<<",
         " 找不到種類;請用:台語,國語,客語,英語,日語,兒歌,其它,粵語. 雙擊可改檔名!", false, false},
        {"甲,歌四,國語,0.wav", "檔名格式有誤,請修正:甲,歌四,國語,0.wav <----請修正檔名<<<<<<<<<<<<<<<<<<<<<",
         " 字數不對;字數應大於等於1 , 小於255. 雙擊可改檔名!", false, false},
        {"甲,歌四,國語,255.wav", nullptr, " 字數不對;字數應大於等於1 , 小於255. 雙擊可改檔名!", false, false},
        {"甲,歌四,國語,abc.mp3", nullptr, " 字數不對;字數應大於等於1 , 小於255. 雙擊可改檔名!", false, false},
        {"甲 + 乙 , 歌五 , 粵語 , 254 .MID", "準備登錄:甲 + 乙,歌五,粵語,254字部", "此檔已可準備登錄系統", false, false},
        {"丙,歌六,國語,2.mpeg", "檔案需確認:丙,歌六,國語,2.mpeg", " 歌手資料尚未建立!", true, false},
        {"甲,老歌,台語,3.DAT", "檔案需確認:甲,老歌,台語,3.DAT", " 曲目於資料庫中有類似的! 請指定指令", false, true},
        {"已登錄的檔.mpg", "檔案已登錄:已登錄的檔.mpg", " 本檔已登錄", false, false},
    };
    for (const Expected &e : expected) {
        const QString file = QString::fromUtf8(e.file);
        SCOPED_TRACE(e.file);
        if (e.line) {
            EXPECT_EQ(shown.at(rowOf(file)), QString::fromUtf8(e.line));
        }
        EXPECT_EQ(click(file), QString::fromUtf8(e.message));
        EXPECT_EQ(window().frmAddSinger->isVisibleTo(&window()), e.addSinger);
        EXPECT_EQ(window().frmRepeat->isVisibleTo(&window()), e.repeat);
    }
    EXPECT_EQ(window().txtPath->text(), songs());
}

TEST_F(RegByFilenameTest, AMissingFolderOrAnUnconfirmedRowWritesNothing)
{
    fakes.fileDialogs.answers.append(QString()); // the dialog cancelled
    window().cmdBrowse_Click();
    EXPECT_EQ(fakes.messageBoxes.shown, QStringList{QStringLiteral("請確實指定路徑")});

    addFile(QStringLiteral("甲,歌一,國語,2.mpg"));
    addFile(QStringLiteral("甲,歌二,國語.mpg"));
    scan();
    window().cmdReg_Click();
    EXPECT_EQ(window().labSongInfo->text(), QStringLiteral("尚有檔案未確認或格式錯誤 !"));
    EXPECT_EQ(window().lstFileInfo->currentRow(), rowOf(QStringLiteral("甲,歌二,國語.mpg")));
    EXPECT_EQ(songRows(), 0);
}

TEST_F(RegByFilenameTest, RunRegistersEachSongUnderOneNumberAndRescans)
{
    const QString other = addFile(QStringLiteral("甲,舊歌,國語,2.mpg"));
    catalogue.addSong(QStringLiteral("102001"), 1, QStringLiteral("別的"), singerA, other);
    addFile(QStringLiteral("甲+乙,對唱,國語,2.MPG"));
    addFile(QStringLiteral("O'Neil,50% Off_Now,英語,10.mp3"));
    catalogue.addSinger(QStringLiteral("O'Neil"), 1);
    addFile(QStringLiteral("乙,歌.名.有.點,台語,4.wav"));
    addFile(QStringLiteral("甲,愛,國語,1.mpg"));
    scan();
    fakes.clock.setNow(QDateTime(QDate(2027, 3, 9), QTime(10, 0)));
    window().cmdReg_Click();

    EXPECT_EQ(lines(), (QStringList{"檔案已登錄:O'Neil,50% Off_Now,英語,10.mp3", "檔案已登錄:乙,歌.名.有.點,台語,4.wav",
                                    "檔案已登錄:甲+乙,對唱,國語,2.MPG", "檔案已登錄:甲,愛,國語,1.mpg",
                                    "檔案已登錄:甲,舊歌,國語,2.mpg"}));
    EXPECT_EQ(window().labSongInfo->text(), QStringLiteral("已完成5筆資料的登錄! "));
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM song WHERE song_name = '愛' AND song_num = '101001'")), 1);
    Recordset duet = query(QStringLiteral("SELECT song_num, song_singer_code, song_kind, song_text_count, "
                                          "song_build_date FROM song WHERE song_name = '對唱' ORDER BY song_singer_code"));
    ASSERT_EQ(duet.recordCount(), 2);
    EXPECT_EQ(duet.text("song_num"), QStringLiteral("102002")); // 102001 is taken
    EXPECT_EQ(duet.field("song_singer_code").toLongLong(), singerA);
    EXPECT_EQ(duet.text("song_build_date"), QStringLiteral("2027/03/09"));
    duet.moveNext();
    EXPECT_EQ(duet.text("song_num"), QStringLiteral("102002"));
    EXPECT_EQ(duet.field("song_singer_code").toLongLong(), singerB);
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM song WHERE song_name = ? AND song_num = '310001'"),
                    {QStringLiteral("50% Off_Now")}),
              1);
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM song WHERE song_location = ?"),
                  {song(QStringLiteral("乙,歌.名.有.點,台語,4.wav"))}),
              1);
    EXPECT_EQ(songRows(), 6); // the file registered before was passed over

    window().cmdReg_Click(); // nothing left to do: a second run writes nothing
    EXPECT_EQ(songRows(), 6);
}

TEST_F(RegByFilenameTest, RenamingMendsABadNameButNeverOverwritesOrLeavesTheMediaFiles)
{
    addFile(QStringLiteral("甲,歌一,國語,2.mpg"));
    addFile(QStringLiteral("甲,歌二,國語.mpg"));
    scan();
    auto rename = [this](const QString &from, const QString &to) {
        window().lstFileInfo->setCurrentRow(rowOf(from));
        modals.on("reg_by_filename_ModifyFilename", [to](QDialog &d) {
            auto &dialog = dynamic_cast<RegByFilenameModifyFilename &>(d);
            EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Modify the Filename"));
            dialog.txtFileName->setText(to);
            dialog.cmdOK->click();
        });
        window().lstFileInfo_DblClick();
    };
    rename(QStringLiteral("甲,歌二,國語.mpg"), QStringLiteral("甲,歌一,國語,2.mpg"));
    rename(QStringLiteral("甲,歌二,國語.mpg"), QStringLiteral("甲,歌二,國語,2.txt"));
    rename(QStringLiteral("甲,歌二,國語.mpg"), QStringLiteral("../甲,歌二,國語,2.mpg"));
    EXPECT_TRUE(QFile::exists(song(QStringLiteral("甲,歌二,國語.mpg"))));
    EXPECT_EQ(QFile(song(QStringLiteral("甲,歌一,國語,2.mpg"))).size(), tinyWav().size());

    rename(QStringLiteral("甲,歌二,國語.mpg"), QStringLiteral("甲,歌二,國語,2.mpg"));
    const int row = rowOf(QStringLiteral("甲,歌二,國語,2.mpg"));
    EXPECT_FALSE(QFile::exists(song(QStringLiteral("甲,歌二,國語.mpg"))));
    EXPECT_TRUE(QFile::exists(song(QStringLiteral("甲,歌二,國語,2.mpg"))));
    EXPECT_EQ(window().lstFileInfo->item(row)->text(), QStringLiteral("準備登錄:甲,歌二,國語,2字部"));
    EXPECT_EQ(window().lstFileInfo->currentRow(), row);
    EXPECT_EQ(window().labSongInfo->text(), QStringLiteral("此檔已可準備登錄系統"));
}

TEST_F(RegByFilenameTest, SimilarTitlesAreAddedDeletedOrReplaceTheOldSong)
{
    const QString oldFile = addFile(QStringLiteral("old.mpg"), home.path());
    catalogue.addSong(QStringLiteral("003001"), 0, QStringLiteral("老歌謠"), singerA, oldFile);
    catalogue.addSong(QStringLiteral("003001"), 0, QStringLiteral("老歌謠"), singerB, oldFile);
    catalogue.addSong(QStringLiteral("004001"), 0, QStringLiteral("老歌新唱"), singerB);
    addFile(QStringLiteral("甲,老歌,台語,3.mpg"));
    addFile(QStringLiteral("乙,老歌,台語,3.wav"));
    addFile(QStringLiteral("甲+乙,老歌,台語,3.avi"));
    scan();

    QStringList previewed;
    decide(QStringLiteral("甲,老歌,台語,3.mpg"), [&](RegByFilenameSame &dialog) {
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("曲目重覆"));
        EXPECT_EQ(dialog.txtNewSong->text(), QStringLiteral("老歌"));
        EXPECT_EQ(dialog.labNewSinger->text(), QStringLiteral("甲"));
        EXPECT_EQ(dialog.labMsg->text(), QStringLiteral(" 曲目於資料庫中有類似的! 請指定指令"));
        EXPECT_EQ(dialog.oldNumbers(), (QStringList{"003001", "004001"})); // any count
        dialog.cmdReplaceOrg->click(); // nothing chosen yet
        EXPECT_EQ(fakes.messageBoxes.shown.last(), QStringLiteral("請選定將被取代的曲目 !"));
        EXPECT_TRUE(dialog.isVisible());
        dialog.cmbOrgSong->setCurrentIndex(0);
        EXPECT_EQ(dialog.labOrgSinger->text(), QStringLiteral("甲+乙"));
        const auto preview = [&previewed](QDialog &view) {
            previewed.append(dynamic_cast<SmallView &>(view).WMP_SMALL().url());
        };
        modals.on("small_view", preview);
        modals.on("small_view", preview);
        dialog.cmdViewOrg->click();
        dialog.cmdViewNew->click();
        dialog.cmdReplaceOrg->click();
    });
    EXPECT_EQ(modals.captions.mid(1), (QStringList{"瀏覽原本的歌曲檔", "瀏覽新進的歌曲檔"}));
    EXPECT_EQ(previewed, (QStringList{QStringLiteral("file://") + oldFile,
                                      QStringLiteral("file://") + song(QStringLiteral("甲,老歌,台語,3.mpg"))}));
    EXPECT_EQ(lines().at(rowOf(QStringLiteral("甲,老歌,台語,3.mpg"))), QStringLiteral("檔案已確認:甲,老歌,台語,3.mpg->取代003001"));
    EXPECT_EQ(window().labSongInfo->text(), QStringLiteral(" 曲目於資料庫中有類似的! 指令 : 取代此曲目"));

    decide(QStringLiteral("乙,老歌,台語,3.wav"), [](RegByFilenameSame &dialog) { dialog.cmdDelete->click(); });
    decide(QStringLiteral("甲+乙,老歌,台語,3.avi"), [](RegByFilenameSame &dialog) { dialog.cmdAddNew->click(); });
    EXPECT_EQ(lines().at(rowOf(QStringLiteral("乙,老歌,台語,3.wav"))), QStringLiteral("檔案已確認:乙,老歌,台語,3.wav->刪除本檔"));
    window().cmdReg_Click();

    EXPECT_FALSE(QFile::exists(oldFile));
    EXPECT_FALSE(QFile::exists(song(QStringLiteral("乙,老歌,台語,3.wav"))));
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM song WHERE song_num = '003001'")), 1);
    EXPECT_EQ(query(QStringLiteral("SELECT song_location FROM song WHERE song_num = '003001'")).value(0).toString(),
              song(QStringLiteral("甲,老歌,台語,3.mpg")));
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM song WHERE song_location = ?"),
                    {song(QStringLiteral("乙,老歌,台語,3.wav"))}),
              0);
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM song WHERE song_num = '003002'")), 2);
    EXPECT_EQ(lines().size(), 2); // the deleted file is gone from the folder
}

// A command survives its dialog closed with the close box; two rows may not replace one song;
// and a replaced song's file stays while another song, stored in another spelling, plays it.
TEST_F(RegByFilenameTest, ReplacingNeverStoresASongWithoutNumberNorLosesAFileInUse)
{
    const QString oldFile = addFile(QStringLiteral("old.mpg"), home.path());
    catalogue.addSong(QStringLiteral("003001"), 0, QStringLiteral("老歌謠"), singerA, oldFile);
    catalogue.addSong(QStringLiteral("005009"), 0, QStringLiteral("同一個檔"), singerA, QStringLiteral("old.mpg"));
    const QString first = QStringLiteral("甲,老歌,台語,3.mpg");
    const QString second = QStringLiteral("乙,老歌,台語,3.wav");
    addFile(first);
    addFile(second);
    scan();
    const auto replaceFirstOld = [](RegByFilenameSame &dialog) {
        dialog.cmbOrgSong->setCurrentIndex(0);
        dialog.cmdReplaceOrg->click();
    };
    decide(first, replaceFirstOld);
    decide(first, [](RegByFilenameSame &dialog) { dialog.close(); });
    EXPECT_EQ(lines().at(rowOf(first)), QStringLiteral("檔案已確認:甲,老歌,台語,3.mpg->取代003001"));

    decide(second, replaceFirstOld);
    window().cmdReg_Click();
    EXPECT_EQ(window().labSongInfo->text(),
              QStringLiteral("乙,老歌,台語,3.wav 與 甲,老歌,台語,3.mpg 都要取代編號003001, 請修改其中一個的指令 !"));
    EXPECT_EQ(window().lstFileInfo->currentRow(), rowOf(first));
    EXPECT_EQ(songRows(), 2);

    decide(second, [](RegByFilenameSame &dialog) { dialog.cmdAddNew->click(); });
    window().cmdReg_Click();
    EXPECT_EQ(query(QStringLiteral("SELECT song_location FROM song WHERE song_num = '003001'")).value(0).toString(),
              song(first));
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM song WHERE song_num = '003002'")), 1);
    EXPECT_TRUE(QFile::exists(oldFile)) << "song 005009 still plays it";
    EXPECT_TRUE(QFile::exists(song(first)));
    EXPECT_TRUE(QFile::exists(song(second)));
}

TEST_F(RegByFilenameTest, MissingSingersAreAddedFromTheRow)
{
    addFile(QStringLiteral("丙 + 甲 + 丁,新歌,客語,2.wav"));
    scan();
    EXPECT_EQ(click(QStringLiteral("丙 + 甲 + 丁,新歌,客語,2.wav")), QStringLiteral(" 歌手資料尚未建立!"));
    modals.on("reg_by_filename_addSinger", addSinger(0));
    modals.on("reg_by_filename_addSinger", addSinger(2));
    window().cmdAddSinger_Click();
    EXPECT_EQ(modals.opened, QStringList(2, "reg_by_filename_addSinger"));
    EXPECT_EQ(modals.captions, QStringList(2, "新增歌手"));
    EXPECT_EQ(lines(), QStringList{QStringLiteral("準備登錄:丙 + 甲 + 丁,新歌,客語,2字部")});
    EXPECT_EQ(window().labSongInfo->text(), QStringLiteral("此檔已可準備登錄系統"));
    EXPECT_FALSE(window().frmAddSinger->isVisibleTo(&window()));
    EXPECT_EQ(count(QStringLiteral("SELECT singer_sex FROM singer WHERE singer_name = '丁'")), 2);
    window().cmdReg_Click();
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM song WHERE song_num = '202001'")), 3);
}

TEST_F(RegByFilenameTest, StopEndsTheScanOrTheRunOfALargeFolder)
{
    for (int i = 0; i < 3000; ++i)
        addFile(QStringLiteral("甲,歌%1,國語,3.mpg").arg(i, 4, 10, QLatin1Char('0')));
    QTimer::singleShot(30, window().strip->cmdStop, &QPushButton::click);
    scan();
    EXPECT_GT(window().table().size(), 0);
    EXPECT_LT(window().table().size(), 3000);
    EXPECT_TRUE(window().cmdBrowse->isEnabled());
    EXPECT_FALSE(window().strip->isVisibleTo(&window()));

    window().rescan();
    ASSERT_EQ(window().table().size(), 3000);
    QTimer::singleShot(30, window().strip->cmdStop, &QPushButton::click);
    window().cmdReg_Click();
    EXPECT_EQ(window().labSongInfo->text(), QStringLiteral("登錄已停止! 尚未登錄的檔案仍列在表中"));
    EXPECT_LT(songRows(), 3000);
    EXPECT_EQ(count(QStringLiteral("SELECT count(DISTINCT song_num) FROM song")), songRows());
}

} // namespace
