#include "mci_device.h"
#include "wav_file_open.h"

#include <QCoreApplication>
#include <QDataStream>
#include <QFile>
#include <QHash>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

namespace {

class FakeMciDevice : public MciDevice
{
public:
    QString sendString(const QString &command) override
    {
        commands << command;
        return replies.value(command);
    }

    QStringList commands;
    QHash<QString, QString> replies;
};

struct Header
{
    QByteArray riff = "RIFF";
    quint32 riffSize = 36;
    QByteArray wave = "WAVE";
    QByteArray fmt = "fmt ";
    quint32 formatLength = 16;
    quint16 formatCode = 1;
    quint16 channels = 2;
    quint32 rate = 44100;
    quint32 bytesPerSec = 176400;
    quint16 blockAlign = 4;
    quint16 bits = 16;
    quint32 dataSize = 0;
};

QByteArray headerBytes(const Header &h)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out.writeRawData(h.riff.constData(), 4);
    out << h.riffSize;
    out.writeRawData(h.wave.constData(), 4);
    out.writeRawData(h.fmt.constData(), 4);
    out << h.formatLength << h.formatCode << h.channels << h.rate << h.bytesPerSec << h.blockAlign
        << h.bits;
    out.writeRawData("data", 4);
    out << h.dataSize;
    return bytes;
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

QByteArray pattern(int size)
{
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[i] = char(i * 7);
    return bytes;
}

TEST(WavFileOpenCommands, EachOperationSendsItsCommandStringsToAliasPo)
{
    const QString path = QStringLiteral("/music/Record/202405011230 月亮 代表.wav");
    const QString open = QStringLiteral("open \"") + path + QStringLiteral("\" alias po");
    const struct {
        const char *name;
        std::function<void(WavFileOpen &)> operation;
        QStringList expected;
    } cases[] = {
        {"play", &WavFileOpen::sPlay, {"close po", open, "play po"}},
        {"stop", &WavFileOpen::sStop, {"stop po"}},
        {"pause", &WavFileOpen::sPause, {"pause po"}},
        {"resume", &WavFileOpen::sResume, {"resume po"}},
        {"record", &WavFileOpen::sRecord, {"close po", open, "record po"}},
        {"save", &WavFileOpen::sSave, {"save po", "close po"}},
        {"close", &WavFileOpen::sClose, {"close po"}},
    };
    for (const auto &c : cases) {
        FakeMciDevice device;
        {
            WavFileOpen wav(device);
            wav.sFile(path);
            c.operation(wav);
            EXPECT_EQ(device.commands, c.expected) << c.name;
        }
        EXPECT_EQ(device.commands.last(), QStringLiteral("close po")) << c.name << " on destruction";
    }
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

    EXPECT_EQ(readFile(path), headerBytes(Header{}));
    EXPECT_TRUE(wav.CheckPCM()) << wav.checkText().toStdString();
    EXPECT_EQ(wav.sFileSize(), 44u);
    EXPECT_EQ(wav.sPlayTime(), 0.0);
    EXPECT_EQ(wav.sRiffFormatTag(), QStringLiteral("RIFF"));
    EXPECT_EQ(wav.sfdataSize(), 36u);
    EXPECT_EQ(wav.sFormatName(), QStringLiteral("fmt "));
    EXPECT_EQ(wav.sBytePerSec(), 176400u);
    EXPECT_EQ(wav.sBytePerSample(), 4);
    EXPECT_EQ(wav.sData(), QStringLiteral("data"));
}

TEST(WavFileOpenHeader, CheckTextListsEveryFailedCheckInOrder)
{
    Header nonPcm;
    nonPcm.formatCode = 3;
    Header claimsMore;
    claimsMore.riffSize = 36 + 1000;
    claimsMore.dataSize = 1000;
    Header broken{"RIFX", 99, "WAVF", "fmt_", 18, 2};
    Header healthy;
    healthy.riffSize = 36 + 400;
    healthy.dataSize = 400;
    const struct {
        const char *name;
        QByteArray bytes;
        QString expected;
    } cases[] = {
        {"format code 3", headerBytes(nonPcm), QStringLiteral("0x0015-0x0018 非PCM\n")},
        {"shorter than its RIFF size", headerBytes(claimsMore) + pattern(500),
         QStringLiteral("0x0005 -0x0008 RIFF錯誤\n")},
        {"every field wrong", headerBytes(broken),
         QStringLiteral("0x0001 -0x0004 RIFF錯誤\n0x0005 -0x0008 RIFF錯誤\n"
                        "0x0009-0x000C WAVE錯誤\n0x000D-0x0010 fmt 錯誤\n"
                        "0x0011-0x0014 區塊大小錯誤\n0x0015-0x0018 非PCM\n")},
        {"healthy", headerBytes(healthy) + pattern(400), QString()},
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
    const QByteArray samples = pattern(1000000);
    writeFile(path, headerBytes(Header{}) + samples);
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
    EXPECT_EQ(readFile(path).mid(44), samples);
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
    };
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("rate.wav"));
    for (const auto &c : cases) {
        Header h;
        h.formatCode = c.formatCode;
        h.channels = c.channels;
        h.bits = c.bits;
        h.riffSize = 36 + 600;
        h.dataSize = 600;
        const QByteArray original = headerBytes(h) + pattern(600);
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
        EXPECT_EQ(wav.sDataSize(), 600u);
        EXPECT_EQ(readFile(path).mid(44), pattern(600));
    }
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
