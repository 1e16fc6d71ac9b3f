#include "platform/gst/gst_mci_device.h"
#include "playback/wav_file_open.h"
#include "support/tone_analysis.h"

#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

const QString kSine = QStringLiteral("audiotestsrc is-live=true wave=sine volume=0.5");
const QString kSilentOutput = QStringLiteral("fakesink sync=true");

TEST(GstMciDevice, TakeIsRecordedInTheHeaderFormatAndSavedWithItsSizes)
{
    const struct { quint32 rate; quint8 bits; quint8 channels; int milliseconds; } takes[] = {
        {44100, 16, 2, 1000}, {8000, 8, 1, 600}, {44100, 16, 2, 400}};
    QTemporaryDir dir;
    // Song titles bring blanks and CJK into the file name; every take reuses the same name.
    const QString path = dir.filePath(QStringLiteral("202405011230 月亮代表 我的心.wav"));
    GstMciDevice device(kSine, kSilentOutput);
    {
        WavFileOpen recorder(device);
        for (const auto &take : takes) {
            recorder.sNew(path, take.rate, take.bits, take.channels);
            QElapsedTimer elapsed;
            elapsed.start();
            recorder.sRecord();
            ASSERT_EQ(recorder.sErrorMessage(), QString());
            QTest::qWait(take.milliseconds);
            recorder.sSave();
            const double seconds = elapsed.elapsed() / 1000.0;

            recorder.Initialize();
            EXPECT_TRUE(recorder.isValid()) << recorder.checkText().toStdString();
            EXPECT_EQ(recorder.sSamplesPerSec(), take.rate);
            EXPECT_EQ(recorder.sFileSize(), 44 + recorder.sDataSize());
            EXPECT_GT(recorder.sDataSize(), 0u);
            EXPECT_EQ(recorder.sDataSize() % recorder.sBytePerSample(), 0u);
            // A live source delivers in real time: the take lasts about as long as recording ran.
            EXPECT_GT(recorder.sPlayTime(), take.milliseconds / 1000.0 * 0.5) << take.rate;
            EXPECT_LT(recorder.sPlayTime(), seconds + 0.1) << take.rate;
        }
        EXPECT_GT(peak(readWav(path).samples), 4000) << "the sine must reach the file";
        recorder.sRecord(); // a take into the same file, never saved
        ASSERT_EQ(recorder.sErrorMessage(), QString());
        QTest::qWait(100);
    }
    // Gone with the recorder: the device no longer writes into the file.
    const qint64 size = QFile(path).size();
    QTest::qWait(150);
    EXPECT_EQ(QFile(path).size(), size);
}

// A source that cannot open is the reply to "record"; one that fails once started (before its
// first samples) is reported afterwards, as "record" never waits for the device.
TEST(GstMciDevice, CaptureSourceThatCannotStartLeavesAValidEmptyHeader)
{
    const struct { QString source; bool toldAtOnce; } sources[] = {
        {QStringLiteral("no_such_capture_element"), true},
        {QStringLiteral("filesrc location=/no/such/capture/device"), true},
        {QStringLiteral("audiotestsrc is-live=true ! identity error-after=1"), false},
    };
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("no device.wav"));
    for (const auto &s : sources) {
        GstMciDevice device(s.source);
        QSignalSpy failures(&device, &MciDevice::failed);
        WavFileOpen recorder(device);
        recorder.sNew(path, 44100, 16, 2);
        recorder.sRecord();
        if (s.toldAtOnce) {
            EXPECT_EQ(recorder.sErrorMessage(), QStringLiteral("找不到錄音裝置")) << s.source.toStdString();
        } else {
            EXPECT_EQ(recorder.sErrorMessage(), QString());
            ASSERT_TRUE(failures.wait(3000)) << s.source.toStdString();
            EXPECT_EQ(failures.first().first().toString(), QStringLiteral("找不到錄音裝置"));
        }
        recorder.sSave();
        recorder.Initialize();
        EXPECT_TRUE(recorder.isValid()) << recorder.checkText().toStdString();
        EXPECT_EQ(recorder.sFileSize(), 44u);
    }
}

TEST(GstMciDevice, CommandsNeedAKnownVerbAndAnOpenFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("歌 with blanks.wav"));
    GstMciDevice device(kSine);
    WavFileOpen(device).sNew(path, 44100, 16, 2);
    // An empty replyStart: the command must succeed.
    const struct { QString command; QString replyStart; } cases[] = {
        {QStringLiteral("record po"), QStringLiteral("裝置未開啟")},
        {QStringLiteral("close po"), QString()},
        {QStringLiteral("jump po"), QStringLiteral("無法辨識的指令")},
        {QStringLiteral("open \"/no/such/file.wav\" alias po"), QStringLiteral("找不到檔案")},
        {QStringLiteral("open ") + path + QStringLiteral(" alias po"), QString()},
        {QStringLiteral("play other"), QStringLiteral("裝置未開啟")},
        {QStringLiteral("close po"), QString()},
        {QStringLiteral("open \"") + path + QStringLiteral("\" alias po"), QString()},
        {QStringLiteral("stop po"), QString()},
    };
    for (const auto &c : cases) {
        const QString reply = device.sendString(c.command);
        if (c.replyStart.isEmpty())
            EXPECT_EQ(reply, QString()) << c.command.toStdString();
        else
            EXPECT_TRUE(reply.startsWith(c.replyStart)) << c.command.toStdString() << " -> "
                                                        << reply.toStdString();
    }
}

TEST(GstMciDevice, ATakeClosedWithoutSaveOrCutByAFailingDeviceCanBeRecovered)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("interrupted.wav"));
    GstMciDevice device(kSine);
    WavFileOpen recorder(device);
    recorder.sNew(path, 44100, 16, 2);
    recorder.sRecord();
    QTest::qWait(500);
    // Samples reach the disk while recording, so a killed program still leaves them.
    EXPECT_GT(QFile(path).size(), 44 + 44100);
    recorder.sClose();

    recorder.Initialize();
    EXPECT_EQ(recorder.checkText(), QStringLiteral("0x0005 -0x0008 RIFF錯誤\n"));
    recorder.cwHandle();
    recorder.Initialize();
    EXPECT_TRUE(recorder.isValid()) << recorder.checkText().toStdString();
    EXPECT_EQ(recorder.sDataSize(), recorder.sFileSize() - 44);
    EXPECT_EQ(recorder.sDataSize() % 4, 0u);

    // A device that fails while recording is signalled, and the take stays savable.
    GstMciDevice unplugged(kSine + QStringLiteral(" ! identity error-after=10"));
    QSignalSpy failures(&unplugged, &MciDevice::failed);
    WavFileOpen take(unplugged);
    take.sNew(dir.filePath(QStringLiteral("unplugged.wav")), 44100, 16, 2);
    take.sRecord();
    ASSERT_EQ(take.sErrorMessage(), QString());
    ASSERT_TRUE(failures.wait(3000));
    EXPECT_EQ(failures.first().first().toString(), QStringLiteral("錄音中斷")) << "Chinese only, the reason is logged";
    take.sSave();
    take.Initialize();
    EXPECT_TRUE(take.isValid()) << take.checkText().toStdString();
    EXPECT_GT(take.sDataSize(), 0u);
}

} // namespace
