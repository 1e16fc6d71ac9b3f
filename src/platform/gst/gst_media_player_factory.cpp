#include "platform/gst/gst_media_player_factory.h"

#include "platform/gst/gst_runtime.h"

GstMediaPlayerFactory::GstMediaPlayerFactory(const GstMediaPlayer::Options &options)
    : m_options(options)
{
    GstRuntime::ensureInitialized();
}

std::unique_ptr<MediaPlayer> GstMediaPlayerFactory::create()
{
    return std::make_unique<GstMediaPlayer>(m_options);
}
