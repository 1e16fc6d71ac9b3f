#include "scoring/midi_melody.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
#include <map>
#include <vector>

namespace {

constexpr int kLowestMelodyNote = 48;  // C3
constexpr int kHighestMelodyNote = 84; // C6
constexpr int kDrumChannel = 9;        // channel 10, from 0

struct Note
{
    int channel = 0;
    int key = 0;
    uint64_t on = 0;
    uint64_t off = 0;
};

// Reads what a file holds, stopping (and saying so) at the first byte it cannot make sense of.
class Reader
{
public:
    explicit Reader(std::string_view bytes) : m_bytes(bytes) {}

    bool atEnd() const { return m_at >= m_bytes.size(); }
    size_t at() const { return m_at; }
    bool ok() const { return m_ok; }
    uint32_t byte()
    {
        if (atEnd()) {
            m_ok = false;
            return 0;
        }
        return uint8_t(m_bytes[m_at++]);
    }
    uint32_t big(int count)
    {
        uint32_t value = 0;
        for (int i = 0; i < count; ++i)
            value = value << 8 | byte();
        return value;
    }
    uint32_t variable()
    {
        uint32_t value = 0;
        for (int i = 0; i < 4; ++i) {
            const uint32_t b = byte();
            value = value << 7 | (b & 0x7f);
            if (!(b & 0x80))
                return value;
        }
        m_ok = false;
        return value;
    }
    void skip(size_t count)
    {
        if (count > m_bytes.size() - std::min(m_at, m_bytes.size()))
            m_ok = false;
        m_at = std::min(m_bytes.size(), m_at + count);
    }
    std::string_view take(size_t count)
    {
        const size_t start = m_at;
        skip(count);
        return m_bytes.substr(std::min(start, m_bytes.size()), m_at - std::min(start, m_bytes.size()));
    }

private:
    std::string_view m_bytes;
    size_t m_at = 0;
    bool m_ok = true;
};

struct Song
{
    std::vector<Note> notes;
    std::map<uint64_t, uint32_t> tempos; // tick -> microseconds a quarter
};

void readTrack(std::string_view body, Song &song)
{
    Reader r(body);
    uint64_t tick = 0;
    uint32_t status = 0;
    std::array<std::array<std::vector<size_t>, 128>, 16> sounding;
    while (!r.atEnd() && r.ok()) {
        tick += r.variable();
        uint32_t first = r.byte();
        if (first == 0xff) {
            const uint32_t type = r.byte();
            const std::string_view data = r.take(r.variable());
            if (type == 0x51 && data.size() == 3)
                song.tempos[tick] = uint32_t(uint8_t(data[0])) << 16 | uint32_t(uint8_t(data[1])) << 8 | uint8_t(data[2]);
            if (type == 0x2f)
                break;
            continue;
        }
        if (first == 0xf0 || first == 0xf7) {
            r.skip(r.variable());
            continue;
        }
        if (first & 0x80) {
            status = first;
            first = r.byte();
        }
        if (!(status & 0x80))
            return; // data with no status before it: not a track we can read
        const int kind = int(status >> 4);
        const int channel = int(status & 0x0f);
        const uint32_t second = (kind == 0xc || kind == 0xd) ? 0 : r.byte();
        const int key = int(first & 0x7f);
        if (kind == 0x9 && second > 0) {
            sounding[size_t(channel)][size_t(key)].push_back(song.notes.size());
            song.notes.push_back({channel, key, tick, tick});
        } else if (kind == 0x8 || kind == 0x9) {
            std::vector<size_t> &open = sounding[size_t(channel)][size_t(key)];
            if (!open.empty()) {
                song.notes[open.front()].off = tick;
                open.erase(open.begin());
            }
        }
    }
    // Notes never ended last to the track's end.
    for (auto &channel : sounding)
        for (auto &open : channel)
            for (size_t index : open)
                song.notes[index].off = tick;
}

// Seconds from the start at each tick, through the tempo changes.
class TempoMap
{
public:
    TempoMap(const std::map<uint64_t, uint32_t> &tempos, uint32_t division)
        : m_tempos(tempos)
        , m_division(std::max<uint32_t>(division, 1))
    {
    }
    double seconds(uint64_t tick) const
    {
        double total = 0;
        uint64_t from = 0;
        uint32_t tempo = 500000;
        for (const auto &[at, next] : m_tempos) {
            if (at >= tick)
                break;
            total += double(at - from) * tempo / 1e6 / m_division;
            from = at;
            tempo = next;
        }
        return total + double(tick - from) * tempo / 1e6 / m_division;
    }

private:
    std::map<uint64_t, uint32_t> m_tempos;
    uint32_t m_division;
};

int melodyChannel(const std::vector<Note> &notes)
{
    std::array<int, 16> counts{};
    for (const Note &n : notes) {
        if (n.channel != kDrumChannel && n.key >= kLowestMelodyNote && n.key <= kHighestMelodyNote)
            ++counts[size_t(n.channel)];
    }
    const auto most = std::max_element(counts.begin(), counts.end());
    return *most > 0 ? int(most - counts.begin()) : -1;
}

} // namespace

MidiMelody midiMelody(std::string_view file, std::optional<int> ownersChannel)
{
    Reader r(file);
    if (r.take(4) != "MThd")
        return {std::nullopt, 0, "not a MIDI file"};
    const uint32_t headerSize = r.big(4);
    r.big(2); // format: 0 and 1 read alike, every track on one time line
    const uint32_t trackCount = r.big(2);
    const uint32_t division = r.big(2);
    r.skip(headerSize - std::min<uint32_t>(headerSize, 6));
    if (!r.ok())
        return {std::nullopt, 0, "the MIDI file is cut off in its header"};
    if (division & 0x8000)
        return {std::nullopt, 0, "a MIDI file timed in frames of video, which is not read"};
    Song song;
    for (uint32_t t = 0; t < trackCount && !r.atEnd(); ++t) {
        const std::string_view id = r.take(4);
        const std::string_view body = r.take(r.big(4));
        if (id == "MTrk")
            readTrack(body, song);
    }
    const int channel = ownersChannel ? *ownersChannel - 1 : melodyChannel(song.notes);
    if (channel < 0 || channel > 15)
        return {std::nullopt, 0, "no channel has notes between C3 and C6"};
    const TempoMap time(song.tempos, division);
    PitchTrack track;
    for (const Note &n : song.notes) {
        if (n.channel != channel || n.off <= n.on)
            continue;
        const auto first = size_t(time.seconds(n.on) / PitchTrack::kFrameSeconds);
        const auto end = size_t(time.seconds(n.off) / PitchTrack::kFrameSeconds);
        if (end > track.notes.size())
            track.notes.resize(end, std::numeric_limits<float>::quiet_NaN());
        for (size_t i = first; i < end; ++i) {
            if (track.voiced(i) ? track.notes[i] < float(n.key) : true)
                track.notes[i] = float(n.key);
        }
    }
    if (track.voicedCount() == 0)
        return {std::nullopt, channel + 1, "the melody channel has no notes"};
    return {std::move(track), channel + 1, {}};
}
