// Batch registration from a list file, driven through the window on real files and catalogue.
#include "bulk/batch_registe.h"
#include "bulk_fixture.h"
#include "core/text_encoding.h"

#include "bulk/progress_strip.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

namespace {

class BatchRegisteTest : public BulkFixture
{
protected:
    void SetUp() override
    {
        BulkFixture::SetUp();
        singer = catalogue.addSinger(QStringLiteral("鄧麗君"), 0);
    }

    BatchRegiste &window()
    {
        if (!m_window)
            m_window = std::make_unique<BatchRegiste>(state, fakes.services, QSize(1280, 720));
        return *m_window;
    }

    // Writes the list into the songs folder and runs it; returns the messages shown.
    QStringList run(const QByteArray &list)
    {
        const QString path = song(QStringLiteral("list.txt"));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(list);
        file.close();
        window().reg_file_name->setText(QStringLiteral("  ") + path + QStringLiteral(" "));
        fakes.messageBoxes.shown.clear();
        window().batch_reg_do_Click();
        return fakes.messageBoxes.shown;
    }

    // A line with a NUL character where it has "@".
    static QByteArray withNul(const char *line) { return QByteArray(line).replace('@', '\0'); }

    qint64 singer = 0;
    std::unique_ptr<BatchRegiste> m_window;
};

// Each line is checked as the song-add window checks a song, and only registrable files in the
// list's own folder are found.
TEST_F(BatchRegisteTest, EveryBadLineStopsTheRunBeforeAnythingIsWritten)
{
    addFile(QStringLiteral("a.mpg"));
    const QByteArray good = "a.mpg,月亮,國語,鄧麗君,2\n";
    const QByteArray longLine = "a.mpg,月亮,國語,鄧麗君," + QByteArray(100000, '9') + "x\n";
    struct Case
    {
        QByteArray list;
        QString ending;
    };
    const Case cases[] = {
        {good + "a.mpg,月亮,國語,鄧麗君\n", QStringLiteral("批次檔內容錯誤 !\na.mpg,月亮,國語,鄧麗君")},
        {good + "b.mpg,月亮,國語,鄧麗君,2\n", QStringLiteral("=>b.mpg,月亮,國語,鄧麗君,2<=找不到指定的檔!")},
        {good + "../Setting.ini,月亮,國語,鄧麗君,2\n", QStringLiteral("<=找不到指定的檔!")},
        {good + "list.txt,月亮,國語,鄧麗君,2\n", QStringLiteral("<=找不到指定的檔!")},
        {good + "a.mpg,月亮,火星語,鄧麗君,2\n", QStringLiteral("=>a.mpg,月亮,火星語,鄧麗君,2<=找不到指定的歌曲種類!")},
        {good + "a.mpg,月亮,國語,鄧麗君,0\n", QStringLiteral("=>a.mpg,月亮,國語,鄧麗君,0<=所定義的字數有問題!")},
        {good + "a.mpg,月亮,國語,鄧麗君,兩\n", QStringLiteral("<=所定義的字數有問題!")},
        {good + "a.mpg,,國語,鄧麗君,2\n", QStringLiteral("<=請輸入正確的曲目名!")},
        {good + withNul("a.mpg,月@亮,國語,鄧麗君,2\n"), QStringLiteral("<=曲目名不可含有控制字元!")},
        {good + "a.mpg," + QByteArray(40000, 'T') + ",國語,鄧麗君,2\n", {}},
        {good + "a.mpg,月亮,國語, ,2\n", QStringLiteral("<=請輸入合法的歌手名!")},
        {good + withNul("a.mpg,月亮,國語,鄧@麗君,2\n"), QStringLiteral("<=歌手名不可含有控制字元!")},
        {good + QByteArray("\x00\x01,\xff\xfe,\x80,x,1\n", 13), QStringLiteral("<=有無法讀取的字,請檢查檔案的編碼!")},
        {good + longLine, {}},
    };
    for (const Case &c : cases) {
        const QStringList shown = run(c.list);
        ASSERT_EQ(shown.size(), 1);
        EXPECT_TRUE(shown.first().startsWith(QStringLiteral("您所指定的批次檔中=>"))
                    || shown.first().startsWith(QStringLiteral("批次檔內容錯誤")))
            << shown.first().toStdString();
        EXPECT_TRUE(shown.first().endsWith(c.ending)) << shown.first().toStdString();
        EXPECT_LT(shown.first().size(), 400); // a long line is cut short in the message
        EXPECT_EQ(songRows(), 0);
    }
    window().reg_file_name->setText(song(QStringLiteral("none.txt")));
    fakes.messageBoxes.shown.clear();
    window().batch_reg_do_Click();
    EXPECT_EQ(fakes.messageBoxes.shown, QStringList{QStringLiteral("您所指定的披次登錄檔案並不存在ㄛ!")});
}

// Stopping says what happened and keeps the list's path, so the same list can be run again.
TEST_F(BatchRegisteTest, StopDuringTheCheckOrTheRunSaysSoAndKeepsTheList)
{
    QByteArray list;
    for (int i = 0; i < 2000; ++i) {
        addFile(QStringLiteral("%1.mpg").arg(i, 4, 10, QLatin1Char('0')));
        list += QStringLiteral("%1.mpg,歌%1,國語,鄧麗君,5\n").arg(i, 4, 10, QLatin1Char('0')).toUtf8();
    }
    QTimer::singleShot(5, window().strip->cmdStop, &QPushButton::click);
    EXPECT_EQ(run(list), QStringList{QStringLiteral("批次檔檢查已停止, 沒有登錄任何歌曲")});
    EXPECT_EQ(songRows(), 0);
    EXPECT_FALSE(window().reg_file_name->text().isEmpty());

    QTimer stopInRun;
    QObject::connect(&stopInRun, &QTimer::timeout, [this] {
        if (window().Label2->text().startsWith(QStringLiteral("進度")))
            window().strip->cmdStop->click();
    });
    stopInRun.start(2);
    const QStringList shown = run(list);
    ASSERT_EQ(shown.size(), 1);
    EXPECT_TRUE(shown.first().startsWith(QStringLiteral("批次登錄已停止! 已處理"))) << shown.first().toStdString();
    EXPECT_TRUE(shown.first().contains(QStringLiteral("存入%1首歌").arg(songRows()))) << shown.first().toStdString();
    EXPECT_LT(songRows(), 2000);
    EXPECT_FALSE(window().reg_file_name->text().isEmpty());
}

TEST_F(BatchRegisteTest, RegistersEachLineSkippingCommentsBlanksAndRegisteredFiles)
{
    addFile(QStringLiteral("KTV-07.mpg"));
    addFile(QStringLiteral("KTV-107.txt"));
    const QString registered = addFile(QStringLiteral("old.wav"));
    catalogue.addSong(QStringLiteral("102001"), 1, QStringLiteral("舊歌"), singer, registered);
    addFile(QStringLiteral("甜蜜蜜.MP3"));
    fakes.clock.setNow(QDateTime(QDate(2027, 1, 2), QTime(9, 0)));
    const QByteArray list = "\xEF\xBB\xBF# 我的歌單\r\n\r\n   # 縮排的註解\r\n"
                            " 7 , 月亮代表我的心 , 國語 , 鄧麗君 , 7 ,多的欄位\r\n"
                            "old.wav,舊歌重唱,國語,鄧麗君,4\r\n"
                            "甜蜜蜜.MP3,甜蜜蜜,國語,鄧麗君,3.4\r\n";
    const QStringList shown = run(list);

    EXPECT_EQ(shown, QStringList{QStringLiteral("3筆資料已批次登錄完成")});
    EXPECT_TRUE(window().reg_file_name->text().isEmpty());
    EXPECT_EQ(songRows(), 3);
    Recordset moon = query(QStringLiteral("SELECT * FROM song WHERE song_num = '107001'"));
    ASSERT_EQ(moon.recordCount(), 1);
    EXPECT_EQ(moon.text("song_name"), QStringLiteral("月亮代表我的心"));
    EXPECT_EQ(moon.text("song_location"), song(QStringLiteral("KTV-07.mpg")));
    EXPECT_EQ(moon.field("song_singer_code").toLongLong(), singer);
    EXPECT_EQ(moon.text("song_build_date"), QStringLiteral("2027/01/02"));
    EXPECT_EQ(query(QStringLiteral("SELECT song_location FROM song WHERE song_num = '103001'")).value(0).toString(),
              song(QStringLiteral("甜蜜蜜.MP3")));
}

TEST_F(BatchRegisteTest, ListsFromOlderInstallationsAreBig5)
{
    addFile(QStringLiteral("歌01.mpg"));
    const QStringList shown = run(encodeText(QStringLiteral("1,小城故事,國語,鄧麗君,4\r\n"), TextEncoding::Big5));
    EXPECT_EQ(shown, QStringList{QStringLiteral("1筆資料已批次登錄完成")});
    EXPECT_EQ(query(QStringLiteral("SELECT song_name FROM song")).value(0).toString(), QStringLiteral("小城故事"));
}

TEST_F(BatchRegisteTest, MissingSingersAndSimilarTitlesAreDecidedLineByLine)
{
    catalogue.addSong(QStringLiteral("003001"), 0, QStringLiteral("望春風啊"), singer);
    addFile(QStringLiteral("a.mpg"));
    addFile(QStringLiteral("b.mpg"));
    addFile(QStringLiteral("c.mpg"));
    modals.on("batch_singer_add", addSinger(1, QStringLiteral("周杰倫")));
    modals.on("batch_same", [](QDialog &dialog) { click(dialog, "new_add"); });
    modals.on("batch_same", [](QDialog &dialog) { click(dialog, "new_cancel"); });
    fakes.messageBoxes.answers = {MessageBoxes::Answer::Yes, MessageBoxes::Answer::No}; // give c.mpg up, keep its file
    const QStringList shown = run("a.mpg,稻香,國語,周杰倫 ,2\nb.mpg,望春風,台語,鄧麗君,4\nc.mpg,望春,台語,鄧麗君,4\n");

    EXPECT_EQ(modals.opened, (QStringList{"batch_singer_add", "batch_same", "batch_same"}));
    EXPECT_EQ(modals.captions, (QStringList{"批次登錄--新增歌手資料", "批次新增", "批次新增"}));
    EXPECT_EQ(shown.at(0), QStringLiteral("望春風啊與編號003001,鄧麗君,有類似曲名. 請修改或取消登錄!!"));
    EXPECT_EQ(shown.last(), QStringLiteral("3筆資料已批次登錄完成"));
    EXPECT_EQ(query(QStringLiteral("SELECT singer_name FROM song JOIN singer ON singer_code = song_singer_code "
                                   "WHERE song_num = '102001'"))
                  .value(0)
                  .toString(),
              QStringLiteral("周杰倫"));
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM song WHERE song_num = '004001' AND song_name = '望春風'")), 1);
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM song WHERE song_location = ?"), {song(QStringLiteral("c.mpg"))}), 0);
    EXPECT_TRUE(QFile::exists(song(QStringLiteral("c.mpg"))));
}

TEST_F(BatchRegisteTest, AnEmptyListRegistersNothing)
{
    EXPECT_EQ(run("# nothing yet\n"), QStringList{QStringLiteral("0筆資料已批次登錄完成")});
    EXPECT_EQ(songRows(), 0);
}

} // namespace
