#pragma once

#include "scoring/pitch_track.h"

#include <optional>
#include <string>
#include <string_view>

// The guide of a MIDI song: the notes of its melody channel as a pitch track (the highest note
// sounding in each frame). The melody channel is the one the owner names (1 to 16), else the
// channel with the most notes between C3 and C6, drums (channel 10) aside. whyNone says why
// there is no guide (a file that is not MIDI, no notes in that range).
struct MidiMelody
{
    std::optional<PitchTrack> pitch;
    int channel = 0; // 1 ... 16
    std::string whyNone;
};

MidiMelody midiMelody(std::string_view file, std::optional<int> ownersChannel = std::nullopt);
