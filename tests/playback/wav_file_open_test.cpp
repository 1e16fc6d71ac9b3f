#include "platform/gst/gst_mci_device.h"
#include "platform/qt_file_system.h"
#include "playback/recording_repair.h"
#include "playback/wav_file_open.h"
#include "support/fake_mci_device.h"
#include "support/small_disk.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <gtest/gtest.h>

#include <functional>

namespace {

QByteArray pattern(int size)
{
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[i] = char(i * 7);
    return bytes;
}

// 44 100 Hz, 16 bits, 2 channels, no samples: the header of every new take.
const QByteArray kEmptyTake = QByteArray::fromHex("52494646" "24000000" "57415645" "666d7420"
                                                  "10000000" "0100" "0200" "44ac0000" "10b10200"
                                                  "0400" "1000" "64617461" "00000000");

struct Field
{
    int offset;
    quint32 value;
    int width = 4;
};

QByteArray patched(QByteArray bytes, std::initializer_list<Field> fields)
{
    for (const Field &f : fields) {
        if (f.width == 2)
            qToLittleEndian(quint16(f.value), bytes.data() + f.offset);
        else
            qToLittleEndian(f.value, bytes.data() + f.offset);
    }
    return bytes;
}

QByteArray withSamples(int count)
{
    return patched(kEmptyTake, {{4, quint32(36 + count)}, {40, quint32(count)}}) + pattern(count);
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(WavFileOpenRecording, ATakeIsRecordedIntoItsFileAndSavedWithItsSizes)
{
    QTemporaryDir dir;
    // Song titles bring blanks and CJK into the file name.
    const QString path = dir.filePath(QStringLiteral("202405011230 月亮 代表.wav"));
    GstMciDevice device(QStringLiteral("audiotestsrc is-live=true wave=sine"), QStringLiteral("fakesink sync=true"));
    {
        WavFileOpen wav(device);
        wav.sNew(path, 44100, 16, 2);
        wav.sRecord();
        ASSERT_EQ(wav.sErrorMessage(), QString());
        QTest::qWait(300);
        wav.sSave();

        wav.Initialize();
        EXPECT_TRUE(wav.isValid()) << wav.checkText().toStdString();
        EXPECT_GT(wav.sDataSize(), 0u);
        EXPECT_EQ(wav.sDataSize(), wav.sFileSize() - 44);
        EXPECT_GT(wav.sPlayTime(), 0.1);
        EXPECT_LT(wav.sPlayTime(), 2.0);

        wav.sRecord(); // a second take into the same file, never saved
        ASSERT_EQ(wav.sErrorMessage(), QString());
        QTest::qWait(100);
    }
    // Gone with the instance: the device no longer writes into the file.
    const qint64 size = QFileInfo(path).size();
    QTest::qWait(150);
    EXPECT_EQ(QFileInfo(path).size(), size);
}

TEST(WavFileOpenCommands, DeviceReplyIsKeptOnceRecordingHasStarted)
{
    FakeMciDevice device;
    device.replies[QStringLiteral("play po")] = QStringLiteral("busy");
    device.replies[QStringLiteral("record po")] = QStringLiteral("找不到錄音裝置");
    WavFileOpen wav(device);
    wav.sFile(QStringLiteral("/none.wav"));

    wav.sPlay();
    EXPECT_EQ(wav.sErrorMessage(), QString());
    wav.sRecord();
    EXPECT_EQ(wav.sErrorMessage(), QStringLiteral("找不到錄音裝置"));
    wav.sPlay();
    EXPECT_EQ(wav.sErrorMessage(), QStringLiteral("busy"));
}

TEST(WavFileOpenHeader, NewFileReplacesAnExistingFileWithAnEmptyPcmHeader)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("take.wav"));
    writeFile(path, pattern(5000));
    FakeMciDevice device;
    WavFileOpen wav(device);

    wav.sNew(path, 44100, 16, 2);

    EXPECT_EQ(readFile(path).toHex(), kEmptyTake.toHex());
    EXPECT_TRUE(wav.CheckPCM()) << wav.checkText().toStdString();
    EXPECT_EQ(wav.sFileSize(), 44u);
    EXPECT_EQ(wav.sPlayTime(), 0.0);
    EXPECT_EQ(wav.sfdataSize(), 36u);
    EXPECT_EQ(wav.sBytePerSec(), 176400u);
    EXPECT_EQ(wav.sBytePerSample(), 4);
    EXPECT_EQ(wav.sFormatName(), QStringLiteral("fmt "));
}

TEST(WavFileOpenHeader, CheckTextListsEveryFailedCheckInOrder)
{
    const QByteArray broken = QByteArray("RIFXabcdWAVFfmt_") + QByteArray(28, '\x02');
    const struct {
        const char *name;
        QByteArray bytes;
        QString expected;
    } cases[] = {
        {"format code 3", patched(kEmptyTake, {{20, 3, 2}}), QStringLiteral("0x0015-0x0018 非PCM\n")},
        {"shorter than its RIFF size", withSamples(1000).left(544),
         QStringLiteral("0x0005 -0x0008 RIFF錯誤\n")},
        {"every field wrong", broken,
         QStringLiteral("0x0001 -0x0004 RIFF錯誤\n0x0005 -0x0008 RIFF錯誤\n"
                        "0x0009-0x000C WAVE錯誤\n0x000D-0x0010 fmt 錯誤\n"
                        "0x0011-0x0014 區塊大小錯誤\n0x0015-0x0018 非PCM\n")},
        {"healthy", withSamples(400), QString()},
        {"a header cut after its format code", patched(kEmptyTake, {{4, 14}}).left(22),
         QStringLiteral("0x0001-0x002C 檔頭不完整\n")},
        {"a header cut before its data size", patched(kEmptyTake, {{4, 35}}).left(43),
         QStringLiteral("0x0001-0x002C 檔頭不完整\n")},
    };
    QTemporaryDir dir;
    for (const auto &c : cases) {
        const QString path = dir.filePath(QString::fromLatin1(c.name) + QStringLiteral(".wav"));
        writeFile(path, c.bytes);
        FakeMciDevice device;
        WavFileOpen wav(device);
        wav.sFile(path);
        EXPECT_EQ(wav.checkText(), c.expected) << c.name;
        EXPECT_EQ(wav.isValid(), c.expected.isEmpty()) << c.name;
        EXPECT_EQ(wav.sFileSize(), quint32(c.bytes.size())) << c.name;
    }
}

TEST(WavFileOpenHeader, MissingFileSetsErrorBitAndReadsNothing)
{
    FakeMciDevice device;
    WavFileOpen wav(device);
    wav.sFile(QStringLiteral("/nowhere/at/all.wav"));
    EXPECT_EQ(wav.errorBits(), 1);
    EXPECT_EQ(wav.GetError(wav.errorBits()), QStringLiteral("檔案不存在"));
    EXPECT_EQ(wav.GetError(0), QString());
    EXPECT_FALSE(wav.isValid());
    EXPECT_EQ(wav.sFileSize(), 0u);
}

TEST(WavFileOpenHeader, CwHandleWritesBothSizesFromTheFileLength)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("killed take.wav"));
    writeFile(path, kEmptyTake + pattern(1000000));
    FakeMciDevice device;
    WavFileOpen wav(device);
    wav.sFile(path);
    ASSERT_FALSE(wav.isValid());

    wav.cwHandle();
    wav.Initialize();

    EXPECT_TRUE(wav.isValid()) << wav.checkText().toStdString();
    EXPECT_EQ(wav.sfdataSize(), 1000036u);
    EXPECT_EQ(wav.sDataSize(), 1000000u);
    EXPECT_DOUBLE_EQ(wav.sPlayTime(), 1000000.0 / 176400.0);
    EXPECT_EQ(readFile(path), withSamples(1000000));
}

TEST(WavFileOpenHeader, ATakePastWhatItsSizeFieldsCanHoldIsNeverValidAndNeverPatched)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("all night.wav"));
    const qint64 fourGiB = qint64(1) << 32;
    // Lengths whose lower 32 bits would pass for a whole empty take, or for a take to correct.
    for (const qint64 length : {fourGiB + 44, fourGiB + 1000}) {
        SCOPED_TRACE(length);
        writeFile(path, kEmptyTake);
        ASSERT_TRUE(QFile::resize(path, length)); // sparse: no disk is used up
        FakeMciDevice device;
        WavFileOpen wav(device);

        wav.sFile(path);
        EXPECT_FALSE(wav.isValid());
        EXPECT_EQ(wav.sFileSize(), 0xFFFFFFFFu);
        wav.cwHandle();
        wav.sSamplesPerSec(22050);

        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.read(44).toHex(), kEmptyTake.toHex());
    }
}

TEST(WavFileOpenHeader, NewRateIsWrittenOnlyIntoAValidFile)
{
    const struct {
        quint16 formatCode;
        quint16 channels;
        quint16 bits;
        quint32 rate;
        quint32 expectedBytesPerSec; // 0: the file must stay as it was
    } cases[] = {
        {1, 2, 16, 22050, 88200},
        {1, 1, 12, 11025, 16538}, // 16537.5 rounds to the even neighbour
        {1, 1, 12, 11027, 16540}, // 16540.5 likewise
        {3, 2, 16, 22050, 0},
        {1, 65535, 65535, 4000000000u, 0}, // the byte rate cannot be stored in 32 bits
    };
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("rate.wav"));
    for (const auto &c : cases) {
        const QByteArray original = patched(
            withSamples(600), {{20, c.formatCode, 2}, {22, c.channels, 2}, {34, c.bits, 2}});
        writeFile(path, original);
        FakeMciDevice device;
        WavFileOpen wav(device);
        wav.sFile(path);

        wav.sSamplesPerSec(c.rate);
        wav.sFile(path);

        if (c.expectedBytesPerSec == 0) {
            EXPECT_EQ(readFile(path), original);
            continue;
        }
        EXPECT_TRUE(wav.isValid()) << wav.checkText().toStdString();
        EXPECT_EQ(wav.sSamplesPerSec(), c.rate);
        EXPECT_EQ(wav.sBytePerSec(), c.expectedBytesPerSec);
        const QByteArray expected = patched(original, {{24, c.rate}, {28, c.expectedBytesPerSec}});
        EXPECT_EQ(readFile(path).toHex(), expected.toHex());
    }
}

QByteArray chunk(const char *name, const QByteArray &payload)
{
    QByteArray bytes = QByteArray(name, 4) + QByteArray(4, '\0') + payload;
    qToLittleEndian(quint32(payload.size()), bytes.data() + 4);
    return payload.size() % 2 ? bytes + '\0' : bytes;
}

QByteArray withRiffSize(const QByteArray &bytes)
{
    return patched(bytes, {{4, quint32(bytes.size() - 8)}});
}

TEST(RecordingRepair, OnlyTakesCutOffByACrashAreRepairedAndWholeRecordingsStayAsTheyAre)
{
    const QByteArray samples = pattern(4000);
    const QByteArray list = chunk("LIST", "INFOINAM" + QByteArray("\x09\0\0\0", 4) + "karaoke\0\0");
    const QByteArray extensible = patched(kEmptyTake, {{16, 18}}).insert(36, QByteArray(2, '\0')) + samples;
    const struct {
        const char *name;
        QByteArray bytes;
        bool repaired;
    } cases[] = {
        {"killed before either size was written", kEmptyTake + samples, true},
        {"killed between the RIFF size and the data size", patched(kEmptyTake, {{4, 4036}}) + samples, true},
        {"killed between the data size and the RIFF size", patched(kEmptyTake, {{40, 4000}}) + samples, true},
        {"a silent take", kEmptyTake + QByteArray(4000, '\0'), true},
        {"samples lost at the end", withSamples(4000).left(3000), true},
        {"a whole take", withSamples(4000), false},
        {"a LIST chunk after the audio", withRiffSize(withSamples(4000) + list), false},
        {"an id3 chunk of odd size after the audio", withRiffSize(withSamples(4000) + chunk("id3 ", "ID3tag-odd")), false},
        {"an id3 chunk without its last pad byte", withRiffSize(withSamples(4000) + chunk("id3 ", "ID3tagodd").chopped(1)),
         false},
        {"another header layout", extensible, false},
        {"shorter than a header", kEmptyTake.left(30), false},
        {"not a WAV at all", pattern(4000), false},
    };
    QTemporaryDir dir;
    QStringList expected;
    for (const auto &c : cases) {
        const QString path = dir.filePath(QString::fromLatin1(c.name) + QStringLiteral(".wav"));
        writeFile(path, c.bytes);
        if (c.repaired)
            expected.append(path);
    }
    writeFile(dir.filePath(QStringLiteral("not a take.txt")), kEmptyTake + samples);

    QtFileSystem fs;
    QStringList repaired = repairRecordings(fs, dir.path());
    repaired.sort();
    expected.sort();
    EXPECT_EQ(repaired, expected);

    for (const auto &c : cases) {
        const QString path = dir.filePath(QString::fromLatin1(c.name) + QStringLiteral(".wav"));
        const quint32 length = quint32(c.bytes.size());
        const QByteArray want = c.repaired ? patched(c.bytes, {{4, length - 8}, {40, length - 44}}) : c.bytes;
        EXPECT_EQ(readFile(path).toHex(), want.toHex()) << c.name;
    }
    EXPECT_EQ(readFile(dir.filePath(QStringLiteral("not a take.txt"))), kEmptyTake + samples);
    EXPECT_EQ(repairRecordings(fs, dir.path()), QStringList()) << "a repaired take needs no second repair";
}

TEST(RecordingRepair, ATakeWhoseHeaderCannotBeWrittenIsNotCountedAsRepaired)
{
    SmallDisk disk;
    if (!disk.mounted())
        GTEST_SKIP() << disk.whyNot().toStdString();
    const QString path = disk.file(QStringLiteral("killed.wav"));
    writeFile(path, kEmptyTake + pattern(4000));
    ASSERT_TRUE(disk.makeReadOnly());

    QtFileSystem fs;
    EXPECT_EQ(repairRecordings(fs, disk.file(QString())), QStringList());
    EXPECT_EQ(readFile(path), kEmptyTake + pattern(4000));
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
