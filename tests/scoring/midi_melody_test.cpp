// The guide of a MIDI song: its melody channel found among bass and drums, or the owner's, on
// the song's own time line through tempo changes.
#include "scoring/midi_melody.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr int kDivision = 480; // ticks a quarter note

struct Event
{
    uint32_t tick;
    std::string bytes;
};

std::string variable(uint32_t value)
{
    std::string out(1, char(value & 0x7f));
    while (value >>= 7)
        out.insert(out.begin(), char((value & 0x7f) | 0x80));
    return out;
}

std::string big(uint32_t value, int count)
{
    std::string out;
    for (int i = count - 1; i >= 0; --i)
        out += char((value >> (8 * i)) & 0xff);
    return out;
}

// A track from events in time order; running status where the status repeats, as files do.
std::string track(const std::vector<Event> &events)
{
    std::string body;
    uint32_t last = 0;
    char status = 0;
    for (const Event &e : events) {
        body += variable(e.tick - last);
        last = e.tick;
        const bool running = e.bytes[0] == status && (uint8_t(status) & 0xf0) != 0xf0;
        body += running ? e.bytes.substr(1) : e.bytes;
        status = e.bytes[0];
    }
    body += std::string("\x00\xff\x2f\x00", 4);
    return "MTrk" + big(uint32_t(body.size()), 4) + body;
}

std::string note(int channel, int key, bool on)
{
    return {char((on ? 0x90 : 0x80) | channel), char(key), char(on ? 100 : 0)};
}

std::vector<Event> notes(int channel, std::vector<int> keys, uint32_t length = kDivision)
{
    std::vector<Event> events;
    uint32_t tick = 0;
    for (int key : keys) {
        events.push_back({tick, note(channel, key, true)});
        tick += length;
        events.push_back({tick, note(channel, key, false)});
    }
    return events;
}

std::string tempo(uint32_t microsecondsAQuarter)
{
    return std::string("\xff\x51\x03", 3) + big(microsecondsAQuarter, 3);
}

std::string midiFile(const std::vector<std::string> &tracks)
{
    std::string file = "MThd" + big(6, 4) + big(1, 2) + big(uint32_t(tracks.size()), 2) + big(kDivision, 2);
    for (const std::string &t : tracks)
        file += t;
    return file;
}

// A song of a bass (channel 1, below C3), a melody (channel 2) and drums (channel 10, many
// notes in the melody's range); 120 beats a minute, then 60 from the third beat.
std::string band()
{
    const std::vector<Event> conductor{{0, tempo(500000)}, {2 * kDivision, tempo(1000000)}};
    return midiFile({track(conductor), track(notes(0, {36, 40, 43, 41})), track(notes(1, {60, 62, 64, 65})),
                     track(notes(9, {38, 42, 46, 49, 51, 38, 42, 46, 49, 51}, kDivision / 4))});
}

TEST(MidiMelody, TheMelodyChannelIsTheOneWithMostNotesBetweenC3AndC6DrumsAside)
{
    const MidiMelody melody = midiMelody(band());
    ASSERT_TRUE(melody.pitch) << melody.whyNone;
    EXPECT_EQ(melody.channel, 2);
    const PitchTrack &track = *melody.pitch;
    // Beats of 0.5 s, then of 1 s: 60 at 0-0.5 s, 62 at 0.5-1, 64 at 1-2, 65 at 2-3.
    const struct { size_t frame; float note; } expected[] = {{0, 60}, {49, 60}, {50, 62}, {99, 62},
                                                             {100, 64}, {199, 64}, {200, 65}, {299, 65}};
    for (const auto &e : expected) {
        ASSERT_TRUE(track.voiced(e.frame)) << e.frame;
        EXPECT_EQ(track.notes[e.frame], e.note) << e.frame;
    }
    EXPECT_FALSE(track.voiced(300));
}

TEST(MidiMelody, TheOwnersChannelWinsAndChordsGiveTheirTopNote)
{
    const MidiMelody bass = midiMelody(band(), 1);
    ASSERT_TRUE(bass.pitch);
    EXPECT_EQ(bass.channel, 1);
    EXPECT_EQ(bass.pitch->notes[10], 36);

    std::vector<Event> chord{{0, note(3, 60, true)}, {0, note(3, 67, true)}, {0, note(3, 64, true)},
                             {kDivision, note(3, 60, false)}, {kDivision, note(3, 67, false)},
                             {kDivision, note(3, 64, false)}};
    const MidiMelody top = midiMelody(midiFile({track(chord)}));
    ASSERT_TRUE(top.pitch);
    EXPECT_EQ(top.channel, 4);
    EXPECT_EQ(top.pitch->notes[20], 67);
}

TEST(MidiMelody, NoGuideAndAReasonForWhatHasNoMelody)
{
    const struct { const char *what; std::string file; const char *reason; } cases[] = {
        {"not MIDI", "RIFF....WAVE", "not a MIDI file"},
        {"drums only", midiFile({track(notes(9, {38, 42, 46}))}), "no channel has notes"},
        {"bass only", midiFile({track(notes(0, {30, 33, 35}))}), "no channel has notes"},
        {"cut off in its header", band().substr(0, 10), "MIDI"},
        {"the owner's channel is silent", band(), "no notes"},
    };
    for (const auto &c : cases) {
        const MidiMelody melody = midiMelody(c.file, std::string(c.what).starts_with("the owner") ? std::optional(5) : std::nullopt);
        EXPECT_FALSE(melody.pitch) << c.what;
        EXPECT_NE(melody.whyNone.find(c.reason), std::string::npos) << c.what << ": " << melody.whyNone;
    }
    // A file cut off anywhere gives what it holds or nothing, never a crash.
    const std::string whole = band();
    for (size_t length = 0; length < whole.size(); length += 7)
        midiMelody(whole.substr(0, length));
}

} // namespace
