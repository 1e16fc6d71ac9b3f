#include "app/live_scoring.h"

#include "core/settings.h"
#include "platform/gst/gst_song_sound_reader.h"
#include "platform/gst/gst_voice_capture.h"
#include "playback/playback_session.h"
#include "playback/song_scoring.h"

namespace {

// A channel out of range is not named: the melody channel is found in each song.
std::optional<int> melodyChannel(const Settings &settings)
{
    const int channel = settings.ScoringMelodyChannel;
    return channel >= 1 && channel <= 16 ? std::optional<int>(channel) : std::nullopt;
}

} // namespace

struct LiveScoring::Parts
{
    explicit Parts(const Settings &settings)
        : scoring(capture, reader, melodyChannel(settings))
    {
    }
    GstVoiceCapture capture;
    GstSongSoundReader reader;
    SongScoring scoring;
};

LiveScoring::LiveScoring(const Settings &settings)
    : m_parts(std::make_unique<Parts>(settings))
{
}

LiveScoring::~LiveScoring() = default;

std::unique_ptr<LiveScoring> LiveScoring::forSettings(const Settings &settings)
{
    if (settings.Scoring != 1)
        return nullptr;
    return std::unique_ptr<LiveScoring>(new LiveScoring(settings));
}

void LiveScoring::attach(LiveScoring *scoring, PlaybackSession &session)
{
    if (scoring)
        session.attachScoring(&scoring->m_parts->scoring);
}
