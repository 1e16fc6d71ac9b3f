// CD+G songs through the real media player: pictures written by the test's CD+G writer and
// the MP3 of the test media, beside each other or in a zip file. The frames the widget sink
// draws are caught with their time in the song and must show what the packets up to that
// time drew (within a packet); the sound must play whole, through the same audio stages as
// every song.
#include "platform/gst/gst_media_player.h"
#include "support/cdg_writer.h"
#include "support/test_media.h"
#include "support/tone_analysis.h"
#include "support/zip_writer.h"

#include <QElapsedTimer>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <mutex>
#include <vector>

namespace {

constexpr double kPacketsPerSecond = 300;
constexpr std::uint32_t kBlack = 0x000000;
constexpr std::uint32_t kRed = 0xFF0000;
constexpr std::uint32_t kGreen = 0x00FF00;
constexpr std::uint32_t kBlue = 0x0000FF;
constexpr std::uint32_t kYellow = 0xFFFF00;

// A tile the pictures change, and the packets at which it turns each colour.
struct TileScript
{
    int row;
    int column;
    std::vector<std::pair<int, std::uint32_t>> changes; // (packet, colour), in order
};

const std::vector<TileScript> kScript = {
    {5, 10, {{0, kBlack}, {60, kRed}, {301, kBlue}}},
    {8, 20, {{0, kBlack}, {150, kGreen}}},
};

// 1.5 s of pictures for the 1.6 s tone.mp3: black with a yellow border, then the script.
QByteArray scriptedPictures()
{
    CdgWriter w;
    w.colours(false, {0x000, 0xF00, 0x0F0, 0x00F, 0xFF0, 0, 0, 0});
    w.memoryPreset(0);
    w.borderPreset(4);
    w.moveTo(60);
    w.solidTile(5, 10, 1);
    w.moveTo(150);
    w.solidTile(8, 20, 2);
    w.moveTo(301);
    w.solidTile(5, 10, 3);
    w.moveTo(450);
    return w.bytes();
}

struct CaughtFrame
{
    qint64 timeNs;
    QSize size;
    std::uint32_t margin;
    std::vector<std::uint32_t> tiles; // the centre of each scripted tile
};

struct Played
{
    std::vector<CaughtFrame> frames;
    Wav wav;
    QStringList errors;
    bool ended = false;
};

std::uint32_t rgb(const QImage &image, int x, int y)
{
    return image.pixel(x, y) & 0xFFFFFF;
}

// Plays the song to its end (or its error) into a WAV file, the widget as large as a 1080p
// screen; whenPlaying acts once it plays.
Played play(const QString &path, const std::function<void(GstMediaPlayer &)> &whenPlaying = {})
{
    QTemporaryDir dir;
    Played played;
    std::mutex mutex;
    GstMediaPlayer::Options options{QStringLiteral("widget"), wavFileSink(dir.filePath("out.wav"), true)};
    options.frameObserver = [&](const QImage &frame, qint64 time) {
        CaughtFrame caught{time, frame.size(), rgb(frame, 0, 0), {}};
        // The picture sits in the middle of a frame of the display's shape, at its own size.
        const int left = (frame.width() - 300) / 2;
        const int top = (frame.height() - 216) / 2;
        for (const TileScript &tile : kScript)
            caught.tiles.push_back(rgb(frame, left + tile.column * 6 + 3, top + tile.row * 12 + 6));
        std::lock_guard lock(mutex);
        played.frames.push_back(caught);
    };
    GstMediaPlayer player(options);
    player.videoWidget()->resize(1920, 1080);
    QObject::connect(&player, &MediaPlayer::error, [&](const QString &text) { played.errors.append(text); });
    QObject::connect(&player, &MediaPlayer::endOfStream, [&] { played.ended = true; });
    QObject::connect(&player, &MediaPlayer::playStateChanged, [&](PlayState state) {
        if (state == PlayState::Playing && whenPlaying)
            whenPlaying(player);
    });
    player.setUrl(QStringLiteral("file://") + path);
    player.play();
    EXPECT_TRUE(QTest::qWaitFor([&] { return played.ended || !played.errors.isEmpty(); }, 20000));
    player.close();
    played.wav = readWav(dir.filePath("out.wav"));
    std::lock_guard lock(mutex);
    return played;
}

// Every frame shows each tile as the packets that start by the frame's time left it (a change
// within a packet of the frame's time may fall either side), and each change is shown by the
// first frame after it, at most a frame's time (12 packets) late.
void expectPicturesInTime(const Played &played)
{
    ASSERT_FALSE(played.frames.empty());
    for (std::size_t t = 0; t < kScript.size(); ++t) {
        for (const auto &[at, colour] : kScript[t].changes) {
            const auto first = std::find_if(played.frames.begin(), played.frames.end(), [&](const CaughtFrame &frame) {
                return frame.tiles[t] == colour && double(frame.timeNs) * kPacketsPerSecond / 1e9 >= at - 1;
            });
            ASSERT_NE(first, played.frames.end()) << "no frame showed tile " << t << " change at packet " << at;
            EXPECT_LE(double(first->timeNs) * kPacketsPerSecond / 1e9, at + 13)
                << "tile " << t << " change at packet " << at << " shown late";
        }
    }
    for (const CaughtFrame &frame : played.frames) {
        const double packet = double(frame.timeNs) * kPacketsPerSecond / 1e9;
        SCOPED_TRACE(testing::Message() << "frame at packet " << packet);
        EXPECT_EQ(frame.size, QSize(384, 216)) << "the picture takes the display's shape";
        // The border is set by the third packet; before it, colour 0 surrounds the picture.
        EXPECT_EQ(frame.margin, packet >= 3 ? kYellow : kBlack) << "the border colour fills the sides";
        for (std::size_t t = 0; t < kScript.size(); ++t) {
            std::uint32_t wanted = kBlack;
            bool nearChange = false;
            for (const auto &[at, colour] : kScript[t].changes) {
                nearChange = nearChange || (at > 0 && std::abs(packet - at) <= 1);
                if (at <= packet)
                    wanted = colour;
            }
            if (!nearChange) {
                EXPECT_EQ(frame.tiles[t], wanted) << "tile " << t;
            }
        }
    }
}

void expectWholeTone(const Wav &wav, double frequency)
{
    ASSERT_EQ(wav.channels, 2);
    EXPECT_NEAR(wav.seconds(), 1.6, 0.05);
    const QList<qint16> samples = channel(wav, 0, 0.2, 1.4);
    EXPECT_GT(peak(samples), 4000);
    EXPECT_NEAR(strongestFrequency(samples, wav.rate, frequency * 0.9, frequency * 1.1), frequency, frequency * 0.01);
}

void write(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

} // namespace

TEST(GstCdgPlayerTest, AnMp3WithItsCdgBesidePlaysItsPicturesInTimeThroughPauseAndItsSoundWhole)
{
    QTemporaryDir dir;
    ASSERT_TRUE(QFile::copy(testMedia("tone.mp3"), dir.filePath("Song.MP3")));
    write(dir.filePath("song.cdg"), scriptedPictures());
    for (const char *registered : {"Song.MP3", "song.cdg"}) {
        SCOPED_TRACE(registered);
        const Played played = play(dir.filePath(registered), [](GstMediaPlayer &player) {
            QTimer::singleShot(300, &player, [&player] { player.pause(); });
            QTimer::singleShot(900, &player, [&player] { player.play(); });
        });
        EXPECT_TRUE(played.errors.isEmpty()) << qPrintable(played.errors.join('\n'));
        expectPicturesInTime(played);
        expectWholeTone(played.wav, 784);
    }
}

TEST(GstCdgPlayerTest, AZippedPairPlaysFromTheZipFileWithTheKeyChangedAsForAnySong)
{
    QTemporaryDir dir;
    ASSERT_TRUE(writeZip(dir.filePath("song.zip"),
                         {{"Artist - Title (karaoke).cdg", scriptedPictures()},
                          {"track 01.mp3", fileBytes(testMedia("tone.mp3"))}}));
    const Played played = play(dir.filePath("song.zip"), [](GstMediaPlayer &player) { player.setKey(3); });
    EXPECT_TRUE(played.errors.isEmpty()) << qPrintable(played.errors.join('\n'));
    expectPicturesInTime(played);
    expectWholeTone(played.wav, 784 * std::exp2(3 / 12.0));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"song.zip"}) << "nothing is unpacked";
}

TEST(GstCdgPlayerTest, ACdgSongThatCannotPlaySaysWhyAndDamagedPicturesStillPlayTheSong)
{
    QTemporaryDir dir;
    write(dir.filePath("lone.cdg"), scriptedPictures());
    ASSERT_TRUE(writeZip(dir.filePath("nosound.zip"), {{"a.cdg", scriptedPictures()}}));
    ASSERT_TRUE(QFile::copy(testMedia("tone.mp3"), dir.filePath("noise.mp3")));
    QByteArray noise(24 * 500 + 13, Qt::Uninitialized);
    for (int i = 0; i < noise.size(); ++i)
        noise[i] = char((i * 7919) ^ (i >> 3));
    write(dir.filePath("noise.cdg"), noise);

    const struct
    {
        const char *file;
        const char *error;
    } cases[] = {
        {"lone.cdg", "CDG 檔旁沒有同名的 MP3 檔"},
        {"nosound.zip", "壓縮檔裡要有一個 CDG 檔和一個 MP3 檔"},
        {"noise.mp3", nullptr},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.file);
        const Played played = play(dir.filePath(c.file));
        if (c.error) {
            ASSERT_EQ(played.errors.size(), 1);
            EXPECT_TRUE(played.errors.first().contains(QString::fromUtf8(c.error))) << qPrintable(played.errors.first());
            EXPECT_TRUE(played.errors.first().contains(dir.filePath(c.file))) << qPrintable(played.errors.first());
        } else {
            EXPECT_TRUE(played.errors.isEmpty()) << qPrintable(played.errors.join('\n'));
            EXPECT_TRUE(played.ended);
            EXPECT_FALSE(played.frames.empty());
            expectWholeTone(played.wav, 784);
        }
    }
}

// Pictures that go on after the sound (a .cdg padded to a longer track) do not hold the song:
// it ends with its sound.
TEST(GstCdgPlayerTest, ASongWhosePicturesOutlastItsSoundEndsWithItsSound)
{
    QTemporaryDir dir;
    ASSERT_TRUE(QFile::copy(testMedia("tone.mp3"), dir.filePath("long.mp3")));
    CdgWriter pictures;
    pictures.memoryPreset(2);
    pictures.moveTo(300 * 8); // eight seconds
    write(dir.filePath("long.cdg"), pictures.bytes());
    QElapsedTimer sincePlaying;
    const Played played = play(dir.filePath("long.mp3"), [&](GstMediaPlayer &) { sincePlaying.start(); });
    EXPECT_TRUE(played.ended);
    EXPECT_LT(sincePlaying.elapsed(), 4000) << "the 1.6 s song waited for its 8 s of pictures";
    expectWholeTone(played.wav, 784);
}
