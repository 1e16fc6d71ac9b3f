#include "support/fake_clock.h"
#include "support/fake_file_system.h"
#include "core/init_system.h"
#include "core/key_translation.h"
#include "core/leading_number.h"
#include "support/qt_printers.h"
#include "support/small_disk.h"
#include "core/settings_file.h"
#include "core/shared_state.h"
#include "support/temp_home.h"
#include "core/text_encoding.h"

#include <QDir>
#include <QFileInfo>
#include <QStringEncoder>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// The file a first start writes, byte for byte.
const char kFreshSettingsFile[] =
    "# 小視窗離上位置, 單位=twip, 1cm=567 twip\r\nSmallScreenTop = 200\r\n"
    "# 小視窗離左位置, 單位=twip, 1cm=567 twip\r\nSmallScreenLeft = 700\r\n"
    "# 錄音檔位置\r\nRecordPath = Record\r\n"
    "# CD-ROM / DVD-ROM 的路徑\r\npathCDROM = /media/cdrom\r\n"
    "# 音樂檔的路徑\r\npathMusic = Music\r\n"
    "# 音樂檔的副檔名\r\nExtMusic = mp3,wav,mid,cda\r\n"
    "# 圖片檔的路徑\r\npathPicture = Photo\r\n"
    "# 圖片檔的副檔名\r\nExtPicture = jpg,bmp\r\n"
    "# 圖片檔的副檔名\r\nExtPictureMov = avi,mpg,mpeg,dat\r\n"
    "# 鍵盤定義 .. \"/\" \r\nkeyDevide = 47\r\n"
    "# 鍵盤定義 .. \"*\" \r\nkeyMultiplication = 42\r\n"
    "# 鍵盤定義 .. \"-\" \r\nkeyMinus = 45\r\n"
    "# 鍵盤定義 .. \"+\" \r\nkeyPlus = 43\r\n"
    "# 鍵盤定義 .. \"Enter\" \r\nkeyEnter = 13\r\n"
    "# 鍵盤定義 .. \".\" \r\nkeyDot = 46\r\n"
    "# 鍵盤定義 .. \"0\" \r\nkeyNum(0) = 48\r\n"
    "# 鍵盤定義 .. \"1\" \r\nkeyNum(1) = 49\r\n"
    "# 鍵盤定義 .. \"2\" \r\nkeyNum(2) = 50\r\n"
    "# 鍵盤定義 .. \"3\" \r\nkeyNum(3) = 51\r\n"
    "# 鍵盤定義 .. \"4\" \r\nkeyNum(4) = 52\r\n"
    "# 鍵盤定義 .. \"5\" \r\nkeyNum(5) = 53\r\n"
    "# 鍵盤定義 .. \"6\" \r\nkeyNum(6) = 54\r\n"
    "# 鍵盤定義 .. \"7\" \r\nkeyNum(7) = 55\r\n"
    "# 鍵盤定義 .. \"8\" \r\nkeyNum(8) = 56\r\n"
    "# 鍵盤定義 .. \"9\" \r\nkeyNum(9) = 57\r\n"
    "# 熱鍵定義 聲道1 default=Q  \r\nHotKeySoundChannel1 = 81\r\n"
    "# 熱鍵定義 聲道2 default=W  \r\nHotKeySoundChannel2 = 87\r\n"
    "# 熱鍵定義 聲道3 default=E  \r\nHotKeySoundChannel3 = 69\r\n"
    "# 熱鍵定義 錄音  default=R \r\nHotKeyRecord = 82\r\n"
    "# 熱鍵定義 暫停  default=P \r\nHotKeyPause = 80\r\n"
    "# 熱鍵定義 重唱  default=A \r\nHotKeyReplay = 65\r\n"
    "# 熱鍵定義 大聲  default=X \r\nHotKeyVolIncrease  = 88\r\n"
    "# 熱鍵定義 小聲  default=Z \r\nHotKeyVolDecrease  = 90\r\n";

struct Started
{
    TempHome home;
    FakeFileSystem fs;
    FakeClock clock;
    SharedState state;
    InitResult result;

    InitResult start()
    {
        result = InitSystem(state, fs, clock, home.path());
        return result;
    }
};

TEST(SettingsFile, FirstStartWritesEveryDefaultBlockAndSecondStartAppendsNothing)
{
    Started s;
    ASSERT_TRUE(s.start().ok) << s.result.problem.toStdString();
    EXPECT_EQ(s.home.read("Setting.ini"), QByteArray(kFreshSettingsFile));
    EXPECT_EQ(s.home.read("Setting.ini").count("\r\n"), 66);

    const Settings &v = s.state.settings;
    EXPECT_EQ(v.SmallScreenTop, 200);
    EXPECT_EQ(v.SmallScreenLeft, 700);
    EXPECT_EQ(v.RecordPath, s.home.file("Record"));
    EXPECT_EQ(v.pathCDROM, "/media/cdrom");
    EXPECT_EQ(v.ExtPictureMov, "avi,mpg,mpeg,dat");
    EXPECT_EQ(v.keyDevide, "47");
    EXPECT_EQ(v.keyNum[9], "57");
    EXPECT_TRUE(s.fs.folderExists(v.RecordPath));

    s.start();
    EXPECT_EQ(s.home.read("Setting.ini"), QByteArray(kFreshSettingsFile));
}

TEST(SettingsFile, OwnerEditsAreReadWhateverTheirCaseLineEndsOrOddValues)
{
    Started s;
    s.home.write("Setting.ini",
                 "recordpath=/srv/rec\n"
                 "  # keyDot = 99 a comment after blanks\n"
                 "pathMusic = a=b\n"
                 "KEYDEVIDE = 111\r\n"
                 "keyNum(3)= 51abc\n"
                 "SmallScreenTop = 12.6 cm\n"
                 "SmallScreenLeft = left\n"
                 "ExtMusic\n"
                 "unknownKey = 5\n"
                 "keyPlus = 1\nkeyPlus = 2\n"
                 "phoneordering = 0\nPhonePort = 8090 \nPhoneListen = 192.168.1.5\nPhoneToken = TABLE-7\nPhoneOwnerActions = 1\n"
                 "pathCDROM = cdrom");
    ASSERT_TRUE(s.start().ok);
    const Settings &v = s.state.settings;
    EXPECT_EQ(v.RecordPath, "/srv/rec");
    EXPECT_EQ(v.pathMusic, s.home.file("a")) << "the value ends at the second =";
    EXPECT_EQ(v.keyDevide, "111");
    EXPECT_EQ(v.keyDot, "46") << "a comment line changes nothing";
    EXPECT_EQ(v.keyNum[3], "51");
    EXPECT_EQ(v.SmallScreenTop, 13);
    EXPECT_EQ(v.SmallScreenLeft, 0);
    EXPECT_EQ(v.ExtMusic, "mp3,wav,mid,cda") << "a line without = has no value";
    EXPECT_EQ(v.keyPlus, "2") << "the last of repeated keys wins";
    EXPECT_EQ(v.pathCDROM, s.home.file("cdrom")) << "relative folders live in the program folder";
    EXPECT_EQ(QStringList({v.PhoneOrdering, v.PhonePort, v.PhoneListen, v.PhoneToken, v.PhoneOwnerActions}),
              QStringList({"0", "8090", "192.168.1.5", "TABLE-7", "1"}));

    const QString text = QString::fromUtf8(s.home.read("Setting.ini"));
    EXPECT_FALSE(text.contains("RecordPath = Record")) << "a key in another case is not appended again";
    EXPECT_FALSE(text.contains("ExtMusic = mp3")) << "a key named without = counts as present";
    EXPECT_TRUE(text.startsWith("recordpath=/srv/rec\n"));
    EXPECT_TRUE(text.contains("pathCDROM = cdrom\r\n#")) << "a last line without line end is closed before appending";
    EXPECT_TRUE(text.contains("keyMultiplication = 42"));
}

// The loudness target is a number the owner types by hand: read strictly, since a misread value
// (0 for "loud") would raise every song by 12 dB. A bad value plays at -18 and is told once.
TEST(SettingsFile, TheLoudnessTargetIsReadStrictlyAndABadOneFallsBackWithANotice)
{
    const struct {
        const char *value;
        double target;
    } cases[] = {
        {"-16", -16},      {"\u221216", -16}, {"-16 LUFS", -16}, {"\u221216.5lufs", -16.5}, {"-30", -30},
        {"-10", -10},      {"-16,5", -18},      {"", -18},         {"loud", -18},            {"0", -18},
        {"-80", -18},      {"-9.5", -18},       {"-16 dB", -18},   {"LUFS", -18},            {"--16", -18},
    };
    for (const auto &c : cases) {
        Started s;
        s.home.write("Setting.ini", QStringLiteral("LoudnessTarget = %1\r\n").arg(QString::fromUtf8(c.value)).toUtf8());
        ASSERT_TRUE(s.start().ok);
        EXPECT_EQ(s.state.settings.LoudnessTarget, c.target) << c.value;
        const bool usable = c.target != -18;
        EXPECT_EQ(s.result.notices.filter("LoudnessTarget").size(), usable ? 0 : 1) << c.value;
    }
}

TEST(SettingsFile, FilesInOtherEncodingsAndLineEndsAreReadAndCompletedInTheirOwnEncoding)
{
    const QString owners = QStringLiteral("# 錄音檔位置\r\nRecordPath = /srv/錄音\r\nkeyDevide = 111\r\n");
    const QByteArray utf16LE = QStringEncoder(QStringEncoder::Utf16LE, QStringEncoder::Flag::WriteBom)(owners);
    const QByteArray utf16BE = QStringEncoder(QStringEncoder::Utf16BE, QStringEncoder::Flag::WriteBom)(owners);
    const QByteArray big5 = encodeText(owners, TextEncoding::Big5);
    const struct {
        const char *name;
        QByteArray bytes;
        TextEncoding encoding;
    } cases[] = {
        {"Big5", big5, TextEncoding::Big5},
        {"UTF-16 little-endian with its mark", utf16LE, TextEncoding::Utf16LE},
        {"UTF-16 big-endian with its mark", utf16BE, TextEncoding::Utf16BE},
        {"UTF-8 with CR line ends", QString(owners).replace("\r\n", "\r").toUtf8(), TextEncoding::Utf8},
        {"UTF-8 with its mark", "\xEF\xBB\xBF" + owners.toUtf8(), TextEncoding::Utf8},
        {"Big5 with lines added in UTF-8",
         encodeText(QStringLiteral("# 錄音檔位置\r\n"), TextEncoding::Big5)
             + QStringLiteral("RecordPath = /srv/錄音\r\nkeyDevide = 111\r\n").toUtf8(),
         TextEncoding::Big5},
        {"UTF-16 cut after an odd byte", utf16LE + 'x', TextEncoding::Utf16LE},
    };
    for (const auto &c : cases) {
        Started s;
        s.home.write("Setting.ini", c.bytes);
        ASSERT_TRUE(s.start().ok) << c.name;
        EXPECT_EQ(s.state.settings.RecordPath, QStringLiteral("/srv/錄音")) << c.name;
        EXPECT_EQ(s.state.settings.keyDevide, "111") << c.name;
        EXPECT_EQ(s.state.settings.keyDot, "46") << c.name;

        const QByteArray after = s.home.read("Setting.ini");
        EXPECT_TRUE(after.startsWith(c.bytes)) << c.name << ": the owner's bytes stay as they were";
        EXPECT_EQ(detectEncoding(after), c.encoding) << c.name << ": appended blocks keep the file's encoding";
        const QString text = decodeText(after);
        EXPECT_TRUE(text.contains(QStringLiteral("# 音樂檔的路徑\r\npathMusic = Music\r\n"))) << c.name;
        EXPECT_EQ(text.count(QStringLiteral("RecordPath")), 1) << c.name << ": present keys are not appended";

        s.start();
        EXPECT_EQ(s.home.read("Setting.ini"), after) << c.name << ": a second start appends nothing";
    }
}

TEST(SettingsFile, AFileThatCannotBeReadIsNeverWrittenAndTheProgramStartsWithDefaults)
{
    const QByteArray owners = QByteArray("RecordPath = /srv/rec\r\nkeyEnter = 99\r\n").repeated(40);
    {
        Started s; // no read permission (root ignores chmod, so the file system refuses)
        s.home.write("Setting.ini", owners);
        s.fs.unreadable.append(s.home.file("Setting.ini"));
        ASSERT_TRUE(s.start().ok);
        EXPECT_EQ(s.home.read("Setting.ini"), owners);
        EXPECT_FALSE(s.fs.written.contains(s.home.file("Setting.ini")));
        EXPECT_EQ(s.state.settings.keyEnter, "13");
        EXPECT_EQ(s.result.notices.join('\n'),
                  QStringLiteral("無法讀取設定檔 %1，以預設值啟動，檔案保持原樣").arg(s.home.file("Setting.ini")));
    }
    {
        Started s; // not a regular file
        QDir(s.home.path()).mkdir("Setting.ini");
        ASSERT_TRUE(s.start().ok);
        EXPECT_TRUE(QFileInfo(s.home.file("Setting.ini")).isDir());
        EXPECT_EQ(s.state.settings.keyEnter, "13");
        EXPECT_EQ(s.result.notices.join('\n'),
                  QStringLiteral("設定檔 %1 不是一般檔案，以預設值啟動").arg(s.home.file("Setting.ini")));
    }
    {
        Started s; // a read-only program folder
        s.fs.readOnly = true;
        s.start();
        EXPECT_EQ(s.state.settings.keyEnter, "13");
        EXPECT_FALSE(s.fs.fileExists(s.home.file("Setting.ini")));
        EXPECT_TRUE(s.result.notices.join('\n').startsWith(QStringLiteral("無法建立設定檔")));
    }
}

TEST(SettingsFile, AProgramKilledWhileCompletingTheFileLeavesTheOldFileWhole)
{
    TempHome home;
    const QByteArray owners = "# the owner's own notes\r\nRecordPath = /srv/rec\r\n";
    home.write("Setting.ini", owners);
    // The child dies (SIGXFSZ) at the first byte written past the old length plus a few.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const rlimit limit{rlim_t(owners.size() + 10), RLIM_INFINITY};
        setrlimit(RLIMIT_FSIZE, &limit);
        QtFileSystem fs;
        QString problem;
        SettingsFile::complete(fs, home.file("Setting.ini"), &problem);
        _exit(0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGXFSZ) << "the child was not stopped mid-write";
    EXPECT_EQ(home.read("Setting.ini"), owners);

    QtFileSystem fs;
    QString problem;
    const Settings settings = SettingsFile::load(fs, home.file("Setting.ini"), home.path(), &problem);
    EXPECT_EQ(problem, QString());
    EXPECT_EQ(settings.RecordPath, "/srv/rec");
    EXPECT_EQ(home.read("Setting.ini"), owners + QByteArray(kFreshSettingsFile).replace("# 錄音檔位置\r\nRecordPath = Record\r\n", ""));
}

TEST(SettingsFile, AFullDiskLeavesTheFileAsItWasWithThePinAndEverySiteSetting)
{
    SmallDisk disk;
    if (!disk.mounted())
        GTEST_SKIP() << disk.whyNot().toStdString();
    const QString path = disk.file("Setting.ini");
    const QByteArray owners =
        QByteArray(kFreshSettingsFile).replace("# 錄音檔位置\r\nRecordPath = Record\r\n", "") + "ManagerPin = 2468\r\n";
    ASSERT_TRUE(disk.write("Setting.ini", owners) && disk.leaveFree(0));

    QtFileSystem fs;
    QString problem;
    const Settings settings = SettingsFile::load(fs, path, disk.file(""), &problem);

    EXPECT_EQ(problem, QStringLiteral("無法寫入設定檔 %1，缺少的設定以預設值啟動").arg(path));
    EXPECT_EQ(settings.ManagerPin, "2468");
    EXPECT_EQ(settings.keyEnter, "13");
    EXPECT_EQ(disk.read("Setting.ini"), owners);
    EXPECT_EQ(disk.files(), QStringList{"Setting.ini"}) << "nothing left beside it";
}

TEST(KeyTranslation, ConfiguredCodesBecomeCanonicalKeys)
{
    Settings settings;
    struct Case
    {
        const char *what;
        int in;
        int out;
    } defaults[] = {
        {"slash", 47, '/'}, {"star", 42, '*'}, {"minus", 45, '-'},  {"plus", 43, '+'}, {"enter", 13, 13},
        {"dot", 46, '.'},   {"zero", 48, '0'}, {"nine", 57, '9'},   {"letter", 'Q', 0}, {"comma", ',', 0},
    };
    for (const Case &c : defaults)
        EXPECT_EQ(translateKey(c.in, settings), c.out) << c.what;

    settings.keyDevide = "111";
    EXPECT_EQ(translateKey(111, settings), '/');
    EXPECT_EQ(translateKey(47, settings), 0) << "47 no longer means / once remapped";

    settings.keyPlus = "200";
    settings.keyNum[3] = "200";
    EXPECT_EQ(translateKey(200, settings), '3') << "a digit overrides an operator";

    settings.keyNum[1] = "201";
    settings.keyNum[7] = "201";
    EXPECT_EQ(translateKey(201, settings), '7') << "of two digits the higher one wins";
}

TEST(LeadingNumber, ReadsTheNumberATextStartsWith)
{
    struct Case
    {
        const char *text;
        double value;
    } cases[] = {{"47abc", 47}, {"abc", 0}, {"  -3.5e2x", -350}, {"", 0}, {".5", 0.5}, {"+7", 7}, {"1e", 1}, {"-", 0}};
    for (const Case &c : cases)
        EXPECT_DOUBLE_EQ(leadingNumber(c.text), c.value) << c.text;
    EXPECT_EQ(leadingInteger("99999999999999"), std::numeric_limits<int>::max());
}

} // namespace

// A feature's own optional lines (scoring's "Scoring = 1") are read as every line is: the key
// in any letter case, blanks around "=", the last line of the key winning, comments not counting.
TEST(SettingsFile, AnOptionalLineIsReadWhereItsFeatureStarts)
{
    const struct
    {
        const char *text;
        const char *value;
    } cases[] = {
        {"Scoring = 1\r\n", "1"},
        {"scoring=1", "1"},
        {"# Scoring = 1\r\n", ""},
        {"Scoring = 0\r\nScoring = 1\r\n", "1"},
        {"ScoringMelodyChannel = 4\r\n", ""},
        {"KeyEnter = 13\r\n", ""},
    };
    for (const auto &c : cases)
        EXPECT_EQ(SettingsFile::lineValueOf(QString::fromUtf8(c.text), QStringLiteral("SCORING")), QString::fromUtf8(c.value))
            << c.text;
}
