#include "app/live_scoring.h"

#include "core/leading_number.h"
#include "core/settings_file.h"
#include "platform/gst/gst_song_sound_reader.h"
#include "platform/gst/gst_voice_capture.h"
#include "playback/playback_session.h"
#include "playback/song_scoring.h"

#include <optional>

struct LiveScoring::Parts
{
    explicit Parts(std::optional<int> melodyChannel)
        : scoring(capture, reader, melodyChannel)
    {
    }
    GstVoiceCapture capture;
    GstSongSoundReader reader;
    SongScoring scoring;
};

LiveScoring::LiveScoring(std::unique_ptr<Parts> parts)
    : m_parts(std::move(parts))
{
}

LiveScoring::~LiveScoring() = default;

std::unique_ptr<LiveScoring> LiveScoring::forProgramFolder(FileSystem &fs, const QString &appPath)
{
    QString problem;
    const QString text = SettingsFile::complete(fs, appPath + QStringLiteral("Setting.ini"), &problem);
    if (leadingInteger(SettingsFile::lineValueOf(text, QStringLiteral("SCORING"))) != 1)
        return nullptr;
    // A channel out of range names none: the melody channel is found in each song.
    const int channel = leadingInteger(SettingsFile::lineValueOf(text, QStringLiteral("SCORINGMELODYCHANNEL")));
    const std::optional<int> melodyChannel = channel >= 1 && channel <= 16 ? std::optional(channel) : std::nullopt;
    return std::unique_ptr<LiveScoring>(new LiveScoring(std::make_unique<Parts>(melodyChannel)));
}

void LiveScoring::attach(LiveScoring *scoring, PlaybackSession &session)
{
    if (scoring)
        session.attachScoring(&scoring->m_parts->scoring);
}
