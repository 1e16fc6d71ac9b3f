// The header of a recording take: read, checked, made, corrected; and the repair at start of
// takes cut off by a crash.
#include "platform/qt_file_system.h"
#include "playback/recording_repair.h"
#include "playback/wav_file_open.h"
#include "support/fake_mci_device.h"
#include "support/small_disk.h"
#include "support/temp_home.h"

#include <QFile>
#include <QtEndian>

#include <gtest/gtest.h>

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

// One take at a time in a fresh folder, read through the program's one recorder.
class WavHeader : public ::testing::Test
{
protected:
    // Writes the bytes under name and reads the file in.
    QString take(const QString &name, const QByteArray &bytes)
    {
        home.write(name, bytes);
        wav.sFile(home.file(name));
        return home.file(name);
    }

    TempHome home;
    FakeMciDevice device;
    WavFileOpen wav{device};
};

TEST_F(WavHeader, NewFileWritesAnEmptyPcmHeaderAndCwHandleBothSizesFromTheFileLength)
{
    home.write("take.wav", pattern(5000));
    wav.sNew(home.file("take.wav"), 44100, 16, 2);
    EXPECT_EQ(home.read("take.wav").toHex(), kEmptyTake.toHex());
    EXPECT_TRUE(wav.CheckPCM()) << wav.checkText().toStdString();
    EXPECT_EQ(wav.sFileSize(), 44u);
    EXPECT_EQ(wav.sPlayTime(), 0.0);

    // cwHandle writes both sizes from the file length.
    take("killed take.wav", kEmptyTake + pattern(1000000));
    ASSERT_FALSE(wav.isValid());
    wav.cwHandle();
    wav.Initialize();
    EXPECT_TRUE(wav.isValid()) << wav.checkText().toStdString();
    EXPECT_EQ(wav.sDataSize(), 1000000u);
    EXPECT_DOUBLE_EQ(wav.sPlayTime(), 1000000.0 / 176400.0);
    EXPECT_EQ(home.read("killed take.wav"), withSamples(1000000));
}

TEST_F(WavHeader, CheckTextListsEveryFailedCheckInOrder)
{
    const QByteArray broken = QByteArray("RIFXabcdWAVFfmt_") + QByteArray(28, '\x02');
    const struct { const char *name; QByteArray bytes; QString expected; } cases[] = {
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
    for (const auto &c : cases) {
        take(QString::fromLatin1(c.name) + QStringLiteral(".wav"), c.bytes);
        EXPECT_EQ(wav.checkText(), c.expected) << c.name;
        EXPECT_EQ(wav.isValid(), c.expected.isEmpty()) << c.name;
        EXPECT_EQ(wav.sFileSize(), quint32(c.bytes.size())) << c.name;
    }
    wav.sFile(QStringLiteral("/nowhere/at/all.wav"));
    EXPECT_FALSE(wav.isValid()) << "a missing file";
    EXPECT_EQ(wav.sFileSize(), 0u);
}

TEST_F(WavHeader, ANewRateIsWrittenOnlyIntoAValidFileAndATakePastItsSizeFieldsIsNeverPatched)
{
    const qint64 fourGiB = qint64(1) << 32;
    // Lengths whose lower 32 bits would pass for a whole empty take, or for a take to correct.
    for (const qint64 length : {fourGiB + 44, fourGiB + 1000}) {
        SCOPED_TRACE(length);
        home.write("all night.wav", kEmptyTake);
        ASSERT_TRUE(QFile::resize(home.file("all night.wav"), length)); // sparse: no disk is used up
        wav.sFile(home.file("all night.wav"));
        EXPECT_FALSE(wav.isValid());
        EXPECT_EQ(wav.sFileSize(), 0xFFFFFFFFu);
        wav.cwHandle();
        wav.sSamplesPerSec(22050);

        QFile file(home.file("all night.wav"));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.read(44).toHex(), kEmptyTake.toHex());
    }

    // A new rate is written only into a valid file.
    // An expectedBytesPerSec of 0: the file must stay as it was.
    const struct { quint16 formatCode, channels, bits; quint32 rate, expectedBytesPerSec; } cases[] = {
        {1, 2, 16, 22050, 88200},
        {1, 1, 12, 11025, 16538}, // 16537.5 rounds to the even neighbour
        {1, 1, 12, 11027, 16540}, // 16540.5 likewise
        {3, 2, 16, 22050, 0},
        {1, 65535, 65535, 4000000000u, 0}, // the byte rate cannot be stored in 32 bits
    };
    for (const auto &c : cases) {
        const QByteArray original = patched(
            withSamples(600), {{20, c.formatCode, 2}, {22, c.channels, 2}, {34, c.bits, 2}});
        const QString path = take("rate.wav", original);
        wav.sSamplesPerSec(c.rate);
        wav.sFile(path);
        if (c.expectedBytesPerSec == 0) {
            EXPECT_EQ(home.read("rate.wav"), original);
            continue;
        }
        EXPECT_TRUE(wav.isValid()) << wav.checkText().toStdString();
        EXPECT_EQ(wav.sSamplesPerSec(), c.rate);
        const QByteArray expected = patched(original, {{24, c.rate}, {28, c.expectedBytesPerSec}});
        EXPECT_EQ(home.read("rate.wav").toHex(), expected.toHex());
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
    const struct { const char *name; QByteArray bytes; bool repaired; } cases[] = {
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
    TempHome dir;
    QStringList expected;
    for (const auto &c : cases) {
        dir.write(QString::fromLatin1(c.name) + QStringLiteral(".wav"), c.bytes);
        if (c.repaired)
            expected.append(dir.file(QString::fromLatin1(c.name) + QStringLiteral(".wav")));
    }
    dir.write("not a take.txt", kEmptyTake + samples);

    QtFileSystem fs;
    QStringList repaired = repairRecordings(fs, dir.path());
    repaired.sort();
    expected.sort();
    EXPECT_EQ(repaired, expected);

    for (const auto &c : cases) {
        const quint32 length = quint32(c.bytes.size());
        const QByteArray want = c.repaired ? patched(c.bytes, {{4, length - 8}, {40, length - 44}}) : c.bytes;
        EXPECT_EQ(dir.read(QString::fromLatin1(c.name) + QStringLiteral(".wav")).toHex(), want.toHex()) << c.name;
    }
    EXPECT_EQ(dir.read("not a take.txt"), kEmptyTake + samples);
    EXPECT_EQ(repairRecordings(fs, dir.path()), QStringList()) << "a repaired take needs no second repair";
}

TEST(RecordingRepair, ATakeWhoseHeaderCannotBeWrittenIsNotCountedAsRepaired)
{
    SmallDisk disk;
    if (!disk.mounted())
        GTEST_SKIP() << disk.whyNot().toStdString();
    ASSERT_TRUE(disk.write("killed.wav", kEmptyTake + pattern(4000)));
    ASSERT_TRUE(disk.makeReadOnly());

    QtFileSystem fs;
    EXPECT_EQ(repairRecordings(fs, disk.file(QString())), QStringList());
    EXPECT_EQ(disk.read("killed.wav"), kEmptyTake + pattern(4000));
}

} // namespace
