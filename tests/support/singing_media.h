#pragma once

// Songs and takes for the scoring checks, computed here and written as WAV files: a KTV song
// with an accompaniment (a chord pattern) on both sides and a guide melody (sine notes with
// vibrato) on the vocal side, and takes of a guest singing that melody in another key or
// octave, keeping silent, or talking.

#include <QFile>
#include <QString>
#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <vector>

namespace singing_media {

constexpr int kRate = 44100;

struct MelodyNote
{
    double start;   // seconds
    double seconds;
    int note;       // MIDI
};

// About 30 s of notes between C4 and E5 with short breaths between phrases.
inline std::vector<MelodyNote> guideMelody(double seconds = 30)
{
    static const int tune[] = {60, 62, 64, 65, 67, 67, 69, 67, 65, 64, 62, 60, 64, 67, 72, 71,
                               69, 67, 65, 64, 62, 64, 65, 67, 69, 71, 72, 74, 76, 74, 72, 67};
    std::vector<MelodyNote> notes;
    double at = 1.0;
    for (int i = 0; at + 0.6 < seconds; ++i) {
        const double length = i % 3 == 2 ? 0.9 : 0.6;
        notes.push_back({at, length, tune[size_t(i) % std::size(tune)]});
        at += length + (i % 8 == 7 ? 0.6 : 0.1);
    }
    return notes;
}

inline double frequencyOf(double note)
{
    return 440.0 * std::pow(2.0, (note - 69) / 12);
}

// The melody as one voice, moved by semitones: vibrato of a quarter semitone at 5.5 Hz, soft
// attacks and releases.
inline std::vector<float> sungMelody(double seconds, double semitones, float level = 0.3F)
{
    std::vector<float> out(size_t(seconds * kRate));
    for (const MelodyNote &n : guideMelody(seconds)) {
        double phase = 0;
        const size_t first = size_t(n.start * kRate);
        const size_t count = size_t(n.seconds * kRate);
        for (size_t i = 0; i < count && first + i < out.size(); ++i) {
            const double t = double(i) / kRate;
            const double vibrato = 0.25 * std::sin(2 * std::numbers::pi * 5.5 * t);
            phase += 2 * std::numbers::pi * frequencyOf(n.note + semitones + vibrato) / kRate;
            const double envelope = std::min({1.0, t / 0.03, (n.seconds - t) / 0.03});
            out[first + i] += float(level * envelope * (std::sin(phase) + 0.3 * std::sin(2 * phase)));
        }
    }
    return out;
}

// A chord every two seconds (C, A minor, F, G), as three soft sines.
inline std::vector<float> accompaniment(double seconds, float level = 0.12F)
{
    static const int chords[][3] = {{48, 52, 55}, {45, 48, 52}, {41, 45, 48}, {43, 47, 50}};
    std::vector<float> out(size_t(seconds * kRate));
    for (size_t i = 0; i < out.size(); ++i) {
        const double t = double(i) / kRate;
        const auto &chord = chords[size_t(t / 2) % 4];
        double sum = 0;
        for (int note : chord)
            sum += std::sin(2 * std::numbers::pi * frequencyOf(note) * t);
        out[i] = float(level * sum / 3);
    }
    return out;
}

// Noise shaped like talking: bursts of a syllable's length (about four a second) of noise
// through a band of the voice's formants, with pauses between phrases. It has no steady pitch.
inline std::vector<float> talking(double seconds, float level = 0.3F)
{
    std::vector<float> out(size_t(seconds * kRate));
    uint32_t seed = 12345;
    const auto random = [&seed] {
        seed = seed * 1664525U + 1013904223U;
        return float(seed >> 8) / float(1U << 24) * 2 - 1;
    };
    double low = 0, band = 0;
    for (size_t i = 0; i < out.size(); ++i) {
        const double t = double(i) / kRate;
        const double syllable = std::fmod(t, 0.25) / 0.25;
        const bool phrasePause = std::fmod(t, 3.0) > 2.5;
        const double envelope = phrasePause ? 0 : std::sin(std::numbers::pi * syllable);
        const double white = random();
        low += 0.25 * (white - low);          // above about 3 kHz falls away
        band += 0.02 * (low - band);          // below about 150 Hz falls away
        out[i] = float(level * 2 * envelope * (low - band));
    }
    return out;
}

inline void add(std::vector<float> &to, const std::vector<float> &sound)
{
    for (size_t i = 0; i < to.size() && i < sound.size(); ++i)
        to[i] += sound[i];
}

// Writes 16-bit PCM: one channel, or two given as left and right.
inline bool writeWav(const QString &path, const std::vector<float> &left, const std::vector<float> *right = nullptr)
{
    const int channels = right ? 2 : 1;
    QByteArray data;
    data.reserve(int(left.size()) * channels * 2);
    const auto sample = [&data](float v) {
        const qint16 s = qToLittleEndian(qint16(std::lround(std::clamp(v, -1.0F, 1.0F) * 32767)));
        data.append(reinterpret_cast<const char *>(&s), 2);
    };
    for (size_t i = 0; i < left.size(); ++i) {
        sample(left[i]);
        if (right)
            sample(i < right->size() ? (*right)[i] : 0.0F);
    }
    QByteArray header("RIFF");
    const auto le32 = [&header](quint32 v) { v = qToLittleEndian(v); header.append(reinterpret_cast<const char *>(&v), 4); };
    const auto le16 = [&header](quint16 v) { v = qToLittleEndian(v); header.append(reinterpret_cast<const char *>(&v), 2); };
    le32(quint32(36 + data.size()));
    header.append("WAVEfmt ");
    le32(16);
    le16(1);
    le16(quint16(channels));
    le32(kRate);
    le32(quint32(kRate * channels * 2));
    le16(quint16(channels * 2));
    le16(16);
    header.append("data");
    le32(quint32(data.size()));
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(header) == header.size() && file.write(data) == data.size();
}

// The KTV song as interleaved stereo frames, as a decoder hands them on: the guide melody over
// the accompaniment on the left, the accompaniment alone on the right.
inline std::vector<float> ktvFrames(double seconds)
{
    const std::vector<float> music = accompaniment(seconds);
    std::vector<float> vocal = music;
    add(vocal, sungMelody(seconds, 0));
    std::vector<float> frames(2 * music.size());
    for (size_t i = 0; i < music.size(); ++i) {
        frames[2 * i] = vocal[i];
        frames[2 * i + 1] = music[i];
    }
    return frames;
}

// The KTV song: the vocal side (left, as the jukebox's songs are laid out) has the guide melody
// over the accompaniment, the other side the accompaniment alone. withGuide false puts the same
// music (melody and accompaniment) on both sides.
inline bool writeKtvSong(const QString &path, double seconds = 30, bool withGuide = true)
{
    std::vector<float> music = accompaniment(seconds);
    std::vector<float> vocalSide = music;
    add(vocalSide, sungMelody(seconds, 0));
    return writeWav(path, vocalSide, withGuide ? &music : &vocalSide);
}

} // namespace singing_media
