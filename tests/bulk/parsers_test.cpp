// The file-name grammar and the list-file line, read without any window or catalogue; then
// names and lists as real folders and files give them, through the runs without a window.
#include "bulk/command_line_runs.h"
#include "bulk/count_field.h"
#include "bulk/file_table.h"
#include "bulk/list_file.h"
#include "bulk/progress.h"
#include "bulk/song_file_name.h"
#include "bulk_fixture.h"
#include "core/shared_state.h"
#include "core/text_encoding.h"
#include "support/qt_printers.h"

#include <QStringEncoder>
#include <QTextStream>

#include <gtest/gtest.h>

#include <fstream>

namespace {

struct NameCase
{
    const char *baseName;
    FileNameError error;
    const char *singerField;
    const char *title;
    int kindCode;
    int count;
};

TEST(SongFileNameTest, ReadsTheFourFieldsAndNamesTheFirstFault)
{
    const NameCase cases[] = {
        {"張學友,吻別,國語,2", FileNameError::None, "張學友", "吻別", 1, 2},
        {" 張學友 + 陳慧嫻 , 愛 與 痛 , 粵語 , 254 ", FileNameError::None, "張學友 + 陳慧嫻", "愛 與 痛", 7, 254},
        {"O'Neil,50% Off_Now,英語,10", FileNameError::None, "O'Neil", "50% Off_Now", 3, 10},
        {"𠀋歌手,𪚥𫝀,台語,2", FileNameError::None, "𠀋歌手", "𪚥𫝀", 0, 2},
        {"歌手,歌.名.長,國語,3", FileNameError::None, "歌手", "歌.名.長", 1, 3},
        {"歌手,歌名,國語,2.5", FileNameError::None, "歌手", "歌名", 1, 2}, // halves go to even
        {"歌手,歌名,火星語,2", FileNameError::UnknownKind, "歌手", "歌名", -1, 2},
        {"歌手,歌名,國語,0", FileNameError::BadCount, "歌手", "歌名", 1, kInvalidCount},
        {"歌手,歌名,國語,255", FileNameError::BadCount, "歌手", "歌名", 1, kInvalidCount},
        {"歌手,歌名,國語,二", FileNameError::BadCount, "歌手", "歌名", 1, kInvalidCount},
        {"歌手,歌名,國語,254.6", FileNameError::BadCount, "歌手", "歌名", 1, kInvalidCount},
        {"歌手,歌名,火星語,abc", FileNameError::BadCount, "歌手", "歌名", -1, kInvalidCount},
        {"歌手,歌名,國語", FileNameError::NotFourFields, "", "", -1, kInvalidCount},
        {"歌手,歌名,國語,2,多", FileNameError::NotFourFields, "", "", -1, kInvalidCount},
        {"+ ,歌名,國語,2", FileNameError::NotFourFields, "+", "歌名", 1, 2},
        {"歌手, ,國語,2", FileNameError::NotFourFields, "歌手", "", 1, 2},
        {"", FileNameError::NotFourFields, "", "", -1, kInvalidCount},
    };
    for (const NameCase &c : cases) {
        const SongFileName name = parseSongFileName(QString::fromUtf8(c.baseName), songKindNameTable());
        SCOPED_TRACE(c.baseName);
        EXPECT_EQ(name.formatError, c.error);
        EXPECT_EQ(name.singerField, QString::fromUtf8(c.singerField));
        EXPECT_EQ(name.title, QString::fromUtf8(c.title));
        EXPECT_EQ(name.kindCode, c.kindCode);
        EXPECT_EQ(name.count, c.count);
    }
    EXPECT_EQ(splitSingers(QStringLiteral(" 甲 + 乙 ++丙+ ")), (QStringList{"甲", "乙", "丙"}));
}

TEST(SongFileNameTest, SupportedExtensionsIgnoreCaseAndTakeTheLastDot)
{
    for (const char *name : {"a,b,國語,2.mpg", "A.MPG", "x.Mp3", "y.mid", "z.DAT", "w.avi", "v.mpeg", "u.wav",
                             "a.b.c.mpg"})
        EXPECT_TRUE(chkSupport(QString::fromUtf8(name))) << name;
    for (const char *name : {"a.mp4", "mpg", "a.mpg.txt", "a.", "list.txt"})
        EXPECT_FALSE(chkSupport(QString::fromUtf8(name))) << name;
    EXPECT_EQ(baseNameOf(QStringLiteral("甲,乙.丙,國語,2.MPG")), QStringLiteral("甲,乙.丙,國語,2"));
    EXPECT_EQ(extensionOf(QStringLiteral("noext")), QString());
}

TEST(ListFileTest, LinesAreCommentsBlanksShortOrSongs)
{
    using Kind = ListFileLine::Kind;
    EXPECT_EQ(parseListFileLine(QString()).kind, Kind::Ignored);
    EXPECT_EQ(parseListFileLine(QStringLiteral("   \t ")).kind, Kind::Ignored);
    EXPECT_EQ(parseListFileLine(QStringLiteral("  # 7,歌,國語,甲,1")).kind, Kind::Ignored);
    EXPECT_EQ(parseListFileLine(QStringLiteral("7,歌,國語,甲")).kind, Kind::TooFewFields);
    const ListFileLine song = parseListFileLine(QStringLiteral(" 7 , 月亮 代表 , 國語 , 鄧 , 4 ,extra,more"));
    EXPECT_EQ(song.kind, Kind::Song);
    EXPECT_EQ(song.media, QStringLiteral("7"));
    EXPECT_EQ(song.title, QStringLiteral("月亮 代表"));
    EXPECT_EQ(song.kindName, QStringLiteral("國語"));
    EXPECT_EQ(song.singer, QStringLiteral("鄧"));
    EXPECT_EQ(song.count, QStringLiteral("4"));
}

TEST(ListFileTest, CountsHaveNoUpperLimitBelowSixteenBits)
{
    EXPECT_EQ(listFileCount(QStringLiteral("1")), 1);
    EXPECT_EQ(listFileCount(QStringLiteral(" 300 ")), 300);
    EXPECT_EQ(listFileCount(QStringLiteral("1.4")), 1);
    EXPECT_EQ(listFileCount(QStringLiteral("32767")), 32767);
    for (const char *bad : {"0", "0.9", "-3", "", "abc", "4字", "1e9", "nan", "inf"})
        EXPECT_FALSE(listFileCount(QString::fromUtf8(bad)).has_value()) << bad;
}

TEST(ListFileTest, DecodesUtf8WithMarkOrBig5AndSplitsEveryLineEnd)
{
    const QByteArray utf8 = "\xEF\xBB\xBF" + QStringLiteral("一,二\r\n三\n\n四\r五\r\n").toUtf8();
    EXPECT_EQ(listFileLines(utf8), (QStringList{"一,二", "三", "", "四", "五"}));
    const QByteArray big5 = encodeText(QStringLiteral("07,月亮代表我的心,國語,鄧麗君,7\r\n"), TextEncoding::Big5);
    ASSERT_EQ(detectEncoding(big5), TextEncoding::Big5);
    EXPECT_EQ(listFileLines(big5), QStringList{QStringLiteral("07,月亮代表我的心,國語,鄧麗君,7")});
    EXPECT_EQ(folderOf(QStringLiteral("C:\\歌\\list.txt")), QStringLiteral("C:\\歌"));
    EXPECT_EQ(fileNameOf(QStringLiteral("/a/b\\c.txt")), QStringLiteral("c.txt"));
}

class RealFilesTest : public BulkFixture
{
protected:
    void SetUp() override
    {
        BulkFixture::SetUp();
        catalogue.addSinger(QStringLiteral("甲"), 0);
    }
};

// Song files copied from an older installation: a name in Big5, and a name with a "\" (a
// character of the name here, a separator in stored paths). Each is listed whole, refused with
// its reason, never registered, and registers once renamed.
TEST_F(RealFilesTest, FolderNamesNotInUtf8OrWithABackslashAreListedAndRefusedUntilRenamed)
{
    const QString big5Name = QStringLiteral("甲,愛與痛,國語,3.mpg");
    std::ofstream(QFile::encodeName(songs()) + '/' + encodeText(big5Name, TextEncoding::Big5)) << "x";
    addFile(QStringLiteral("甲,歌\\曲,國語,2.mpg"));
    addFile(QStringLiteral("甲,好歌,國語,2.mpg"));
    QString printed;
    EXPECT_EQ(registerFolder(&printed), 1);
    const QString fixIt = QStringLiteral(" <----請修正檔名<<<<<<<<<<<<<<<<<<<<<");
    EXPECT_EQ(printed.split(QLatin1Char('\n'), Qt::SkipEmptyParts),
              (QStringList{"準備登錄:甲,好歌,國語,2字部", "檔名格式有誤,請修正:甲,歌\\曲,國語,2.mpg" + fixIt,
                           "檔名無法讀取,請修正:" + big5Name + fixIt, "已完成1筆資料的登錄! 原已登錄 0 筆, 尚需確認 2 筆"}));

    FileTable table(state, fakes.fileSystem);
    SilentProgress quiet;
    table.scan(songs(), quiet);
    for (int i = 0; i < table.size(); ++i) {
        const FileRow &row = table.row(i);
        if (row.formatError == FileNameError::None)
            continue;
        EXPECT_TRUE(table.rename(i, row.shownName().replace(QLatin1Char('\\'), QLatin1Char('-')))) << i;
    }
    printed.clear();
    EXPECT_EQ(registerFolder(&printed), 0) << printed.toStdString();
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM song WHERE song_location IN (?, ?)"),
                    {song(big5Name), song(QStringLiteral("甲,歌-曲,國語,2.mpg"))}),
              2);
}

// One character that cannot be read, in a list in any of its encodings: the whole list is
// refused on that line and nothing is registered.
TEST_F(RealFilesTest, AListWithACharacterThatCannotBeReadIsRefusedOnThatLine)
{
    for (const char *name : {"01.mpg", "02.mpg", "03.mpg"})
        addFile(QString::fromLatin1(name));
    const QString list = QStringLiteral("1,歌一,國語,甲,2,備註\r\n2,歌二,國語,甲,2,備註\r\n3,歌三,國語,甲,2,備註\r\n");
    const auto damaged = [](QByteArray bytes, const QByteArray &before, const QByteArray &junk) {
        return bytes.insert(bytes.indexOf(before), junk);
    };
    const QStringEncoder::Flags mark = QStringEncoder::Flag::WriteBom;
    const QByteArray utf16LE = QStringEncoder(QStringEncoder::Utf16LE, mark)(list);
    const QByteArray utf16BE = QStringEncoder(QStringEncoder::Utf16BE, mark)(list);
    const QByteArray big5 = encodeText(list, TextEncoding::Big5);
    const QByteArray lists[] = {
        damaged(utf16LE, QStringEncoder(QStringEncoder::Utf16LE)(QStringLiteral("歌二")), QByteArray("\x00\xD8", 2)),
        damaged(utf16BE, QStringEncoder(QStringEncoder::Utf16BE)(QStringLiteral("歌二")), QByteArray("\xDC\x00", 2)),
        damaged(big5, encodeText(QStringLiteral("歌二"), TextEncoding::Big5), "\xFF"),
    };
    const QString refusal = QStringLiteral("您所指定的批次檔中=>2,\uFFFD歌二,國語,甲,2,備註<=有無法讀取的字,請檢查檔案的編碼!\n");
    for (const QByteArray &bytes : lists) {
        QFile file(song(QStringLiteral("list.txt")));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
        file.close();
        QString printed;
        QTextStream out(&printed);
        EXPECT_EQ(registerListWithoutWindow(state, fakes.fileSystem, fakes.clock, file.fileName(), out), 1);
        EXPECT_EQ(printed, refusal);
        EXPECT_EQ(songRows(), 0);
    }
}

} // namespace
