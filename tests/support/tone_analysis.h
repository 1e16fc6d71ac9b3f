#pragma once

#include <QFile>
#include <QList>
#include <QString>
#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <span>
#include <vector>

// What a pipeline played, written to a WAV file by the test's sink, and the tones in it.
struct Wav {
    int channels = 0;
    int rate = 0;
    QList<qint16> samples; // interleaved

    double seconds() const { return channels == 0 || rate == 0 ? 0 : double(samples.size()) / channels / rate; }
};

// Reads a 16-bit PCM WAV file; an empty Wav when it cannot be read.
inline Wav readWav(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray data = file.readAll();
    Wav wav;
    for (qsizetype at = 12; at + 8 <= data.size();) {
        const QByteArray id = data.mid(at, 4);
        const qsizetype size = qFromLittleEndian<quint32>(data.constData() + at + 4);
        const char *body = data.constData() + at + 8;
        if (id == "fmt ") {
            wav.channels = qFromLittleEndian<quint16>(body + 2);
            wav.rate = int(qFromLittleEndian<quint32>(body + 4));
        } else if (id == "data") {
            const qsizetype count = std::min(size, data.size() - at - 8) / 2;
            for (qsizetype i = 0; i < count; ++i)
                wav.samples.append(qFromLittleEndian<qint16>(body + 2 * i));
        }
        at += 8 + size + (size & 1);
    }
    return wav;
}

// One channel of the samples between two moments, in seconds from the start.
inline QList<qint16> channel(const Wav &wav, int index, double fromSeconds, double toSeconds)
{
    QList<qint16> out;
    const qsizetype first = qsizetype(fromSeconds * wav.rate) * wav.channels + index;
    const qsizetype last = std::min(qsizetype(toSeconds * wav.rate) * wav.channels, wav.samples.size());
    for (qsizetype i = first; i < last; i += wav.channels)
        out.append(wav.samples.at(i));
    return out;
}

// The loudest sample, as a magnitude.
inline int peak(std::span<const qint16> samples)
{
    int result = 0;
    for (qint16 s : samples)
        result = std::max(result, std::abs(int(s)));
    return result;
}

namespace tone_detail {
// Goertzel's algorithm over any range of samples.
template <typename Samples>
double goertzel(const Samples &samples, double frequency, int rate)
{
    const double coefficient = 2 * std::cos(2 * std::numbers::pi * frequency / rate);
    double previous = 0, beforePrevious = 0;
    for (const auto sample : samples) {
        const double current = sample + coefficient * previous - beforePrevious;
        beforePrevious = previous;
        previous = current;
    }
    return previous * previous + beforePrevious * beforePrevious - coefficient * previous * beforePrevious;
}
} // namespace tone_detail

// The power of one frequency in the samples (Goertzel): a bin of the spectrum at any frequency.
inline double tonePower(std::span<const qint16> samples, double frequency, int rate)
{
    return tone_detail::goertzel(samples, frequency, rate);
}

// Total harmonic distortion of the tone at frequency: the power of its 2nd to 10th harmonics
// against its own, in percent. A Hann window keeps the tone's own power out of their bins.
inline double harmonicDistortionPercent(std::span<const qint16> samples, double frequency, int rate)
{
    std::vector<double> windowed(samples.size());
    for (size_t i = 0; i < samples.size(); ++i)
        windowed[i] = samples[i] * (0.5 - 0.5 * std::cos(2 * std::numbers::pi * double(i) / double(samples.size() - 1)));
    double harmonics = 0;
    for (int k = 2; k <= 10 && k * frequency < rate / 2.0; ++k)
        harmonics += tone_detail::goertzel(windowed, k * frequency, rate);
    return 100 * std::sqrt(harmonics / std::max(tone_detail::goertzel(windowed, frequency, rate), 1e-9));
}


// The frequency between low and high with the most power, to a tenth of a hertz.
inline double strongestFrequency(std::span<const qint16> samples, int rate, double low, double high)
{
    double best = low;
    double bestPower = -1;
    for (double f = low; f <= high; f += 0.1) {
        const double power = tonePower(samples, f, rate);
        if (power > bestPower) {
            bestPower = power;
            best = f;
        }
    }
    return best;
}

// How far the first tone stands above the second, in decibels.
inline double decibelsAbove(std::span<const qint16> samples, int rate, double loud, double quiet)
{
    const double quietPower = std::max(tonePower(samples, quiet, rate), 1e-9);
    return 10 * std::log10(std::max(tonePower(samples, loud, rate), 1e-9) / quietPower);
}
