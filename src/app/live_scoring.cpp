#include "app/live_scoring.h"

#include "core/settings.h"
#include "platform/gst/gst_song_sound_reader.h"
#include "platform/gst/gst_voice_capture.h"
#include "playback/playback_session.h"
#include "playback/song_scoring.h"

struct LiveScoring::Parts
{
    GstVoiceCapture capture;
    GstSongSoundReader reader;
    SongScoring scoring{capture, reader};
};

LiveScoring::LiveScoring()
    : m_parts(std::make_unique<Parts>())
{
}

LiveScoring::~LiveScoring() = default;

std::unique_ptr<LiveScoring> LiveScoring::forSettings(const Settings &settings)
{
    if (settings.Scoring != 1)
        return nullptr;
    return std::unique_ptr<LiveScoring>(new LiveScoring);
}

void LiveScoring::attach(LiveScoring *scoring, PlaybackSession &session)
{
    if (scoring)
        session.attachScoring(&scoring->m_parts->scoring);
}
