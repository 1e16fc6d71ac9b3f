#pragma once

#include <QList>
#include <QString>

#include <span>

// What a pipeline played, written to a WAV file by the test's sink, and the tones in it.
struct Wav {
    int channels = 0;
    int rate = 0;
    QList<qint16> samples; // interleaved

    double seconds() const;
};

// Reads a 16-bit PCM WAV file; an empty Wav when it cannot be read.
Wav readWav(const QString &path);

// One channel of the samples between two moments, in seconds from the start.
QList<qint16> channel(const Wav &wav, int index, double fromSeconds, double toSeconds);

// The loudest sample, as a magnitude.
int peak(std::span<const qint16> samples);

// The power of one frequency in the samples (Goertzel): a bin of the spectrum at any frequency.
double tonePower(std::span<const qint16> samples, double frequency, int rate);

// The frequency between low and high with the most power, to a tenth of a hertz.
double strongestFrequency(std::span<const qint16> samples, int rate, double low, double high);

// How far the first tone stands above the second, in decibels.
double decibelsAbove(std::span<const qint16> samples, int rate, double loud, double quiet);
