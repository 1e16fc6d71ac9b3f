#pragma once

#include "platform/gst/gst_media_player.h"

#include <memory>

// Real media players whose pictures and sound go to sinks that keep time and show nothing;
// the last one made stays in reach, to follow what it reports.
class SilentEngine : public MediaPlayerFactory
{
public:
    std::unique_ptr<MediaPlayer> create() override
    {
        auto made = std::make_unique<GstMediaPlayer>(
            GstMediaPlayer::Options{QStringLiteral("fakesink sync=true"), QStringLiteral("fakesink sync=true")});
        last = made.get();
        return made;
    }
    MediaPlayer *last = nullptr;
};
