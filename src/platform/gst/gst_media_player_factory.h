#pragma once

#include "platform/gst/gst_media_player.h"

// Makes GStreamer media players, all with the same sinks.
class GstMediaPlayerFactory : public MediaPlayerFactory
{
public:
    explicit GstMediaPlayerFactory(const GstMediaPlayer::Options &options = {});
    std::unique_ptr<MediaPlayer> create() override;

private:
    GstMediaPlayer::Options m_options;
};
