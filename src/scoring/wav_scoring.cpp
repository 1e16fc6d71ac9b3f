#include "scoring/wav_scoring.h"

#include "scoring/guide_vocal.h"
#include "scoring/pitch_tracker.h"

#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>

namespace {

uint32_t little32(const char *p)
{
    return uint32_t(uint8_t(p[0])) | uint32_t(uint8_t(p[1])) << 8 | uint32_t(uint8_t(p[2])) << 16
        | uint32_t(uint8_t(p[3])) << 24;
}

uint16_t little16(const char *p)
{
    return uint16_t(uint8_t(p[0]) | uint8_t(p[1]) << 8);
}

bool decodeSamples(WavSound &sound, int format, int bits, const char *data, size_t size)
{
    if (format == 1 && bits == 16) {
        sound.samples.resize(size / 2);
        for (size_t i = 0; i < sound.samples.size(); ++i)
            sound.samples[i] = float(int16_t(little16(data + 2 * i))) / 32768.0F;
        return true;
    }
    if (format == 3 && bits == 32) {
        sound.samples.resize(size / 4);
        for (size_t i = 0; i < sound.samples.size(); ++i) {
            const uint32_t word = little32(data + 4 * i);
            std::memcpy(&sound.samples[i], &word, 4);
        }
        return true;
    }
    return false;
}

// The take as one voice: its channels mixed.
std::vector<float> mixed(const WavSound &sound)
{
    const size_t frames = sound.samples.size() / size_t(sound.channels);
    std::vector<float> mono(frames);
    for (size_t i = 0; i < frames; ++i) {
        float sum = 0;
        for (int c = 0; c < sound.channels; ++c)
            sum += sound.samples[i * size_t(sound.channels) + size_t(c)];
        mono[i] = sum / float(sound.channels);
    }
    return mono;
}

// The song as stereo frames, a mono file on both sides, as the player decodes it.
std::vector<float> stereo(const WavSound &sound)
{
    if (sound.channels == 2)
        return sound.samples;
    const size_t frames = sound.samples.size() / size_t(sound.channels);
    std::vector<float> out(frames * 2);
    for (size_t i = 0; i < frames; ++i)
        out[2 * i] = out[2 * i + 1] = sound.samples[i * size_t(sound.channels)];
    return out;
}

} // namespace

std::optional<WavSound> readWavSound(const std::string &path)
{
    std::ifstream file(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (bytes.size() < 12 || bytes.compare(0, 4, "RIFF") != 0 || bytes.compare(8, 4, "WAVE") != 0)
        return std::nullopt;
    WavSound sound;
    int format = 0;
    int bits = 0;
    for (size_t at = 12; at + 8 <= bytes.size();) {
        const size_t size = std::min<size_t>(little32(bytes.data() + at + 4), bytes.size() - at - 8);
        const char *body = bytes.data() + at + 8;
        if (bytes.compare(at, 4, "fmt ") == 0 && size >= 16) {
            format = little16(body);
            sound.channels = little16(body + 2);
            sound.rate = int(little32(body + 4));
            bits = little16(body + 14);
        } else if (bytes.compare(at, 4, "data") == 0) {
            if (sound.channels <= 0 || sound.rate <= 0 || !decodeSamples(sound, format, bits, body, size))
                return std::nullopt;
            return sound;
        }
        at += 8 + size + (size & 1);
    }
    return std::nullopt;
}

WavScore scoreWavFiles(const std::string &songWav, const std::string &takeWav, std::span<const KeyChange> keys)
{
    const std::optional<WavSound> song = readWavSound(songWav);
    if (!song)
        return {std::nullopt, "cannot read the song " + songWav};
    const std::optional<WavSound> take = readWavSound(takeWav);
    if (!take)
        return {std::nullopt, "cannot read the take " + takeWav};
    GuideVocal guide(song->rate);
    const std::vector<float> frames = stereo(*song);
    guide.add(0, frames.data(), frames.size() / 2);
    GuideVocal::Result reference = guide.finish(1);
    if (!reference.pitch)
        return {std::nullopt, reference.whyNone};
    PitchTracker singer(take->rate);
    const std::vector<float> voice = mixed(*take);
    singer.add(voice.data(), voice.size());
    return {scoreSinging(*reference.pitch, singer.track(), keys, GuideVocal::kMinVoicedFrames), {}};
}
