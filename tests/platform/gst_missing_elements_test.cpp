// A machine without some GStreamer plug-ins: the player and the recorder say which Debian
// package to install instead of failing blindly. The elements are taken out of this process's
// registry, as if their packages were not installed.
#include "platform/gst/gst_mci_device.h"
#include "platform/gst/gst_media_player.h"
#include "playback/wav_file_open.h"
#include "support/test_media.h"

#include <QTemporaryDir>
#include <QTest>

#include <gst/gst.h>

#include <gtest/gtest.h>

namespace {

void uninstall(const char *element)
{
    gst_init(nullptr, nullptr);
    GstRegistry *registry = gst_registry_get();
    GstPluginFeature *feature = gst_registry_lookup_feature(registry, element);
    ASSERT_NE(feature, nullptr) << element;
    gst_registry_remove_feature(registry, feature);
    gst_object_unref(feature);
}

// Each step takes more away.
TEST(MissingElements, TheOwnerIsToldWhatToInstallAndNothingBreaks)
{
    const GstMediaPlayer::Options sinks{QStringLiteral("fakesink sync=true"), QStringLiteral("fakesink sync=true")};
    uninstall("pitch");
    uninstall("audiochannelmix");
    {
        GstMediaPlayer player(sinks);
        EXPECT_TRUE(player.canPlay());
        EXPECT_EQ(player.missingParts(), QStringLiteral("缺少 GStreamer 元件 audiochannelmix, pitch, 請安裝 gstreamer1.0-plugins-bad"));
        player.setUrl(QStringLiteral("file://") + testMedia("tone.wav"));
        player.play();
        EXPECT_TRUE(QTest::qWaitFor([&] { return player.playState() == PlayState::Playing; }, 10000))
            << "songs play without the audio stages";
    }

    uninstall("playbin");
    GstMediaPlayer player(sinks);
    EXPECT_FALSE(player.canPlay());
    EXPECT_TRUE(player.missingParts().contains(QStringLiteral("playbin")));
    EXPECT_TRUE(player.missingParts().contains(QStringLiteral("請安裝 gstreamer1.0-plugins-base")));
    player.setUrl(QStringLiteral("file://") + testMedia("tone.wav"));
    player.setVolume(50);
    player.play();
    EXPECT_TRUE(QTest::qWaitFor([&] { return player.playState() == PlayState::Stopped; }, 2000));
    EXPECT_EQ(player.audioTrackCount(), 0);

    uninstall("autoaudiosrc");
    QTemporaryDir dir;
    GstMciDevice device; // the default capture source
    WavFileOpen take(device);
    take.sNew(dir.filePath(QStringLiteral("take.wav")), 44100, 16, 2);
    take.sRecord();
    EXPECT_EQ(take.sErrorMessage(), QStringLiteral("缺少 GStreamer 元件 autoaudiosrc, 請安裝 gstreamer1.0-plugins-good"));
}

} // namespace
