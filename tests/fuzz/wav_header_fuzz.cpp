// A WAV file as any bytes: reading and checking its header never fails, the check text agrees
// with the verdict, and a new rate changes nothing but the header.
#include "fuzz_support.h"

#include "playback/wav_file_open.h"

#include <QtEndian>

#include <cmath>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes = fuzzInput(data, size);
    const QString path = fuzzFolder().filePath(QStringLiteral("take.wav"));
    writeFuzzFile(path, bytes);

    SilentMciDevice device;
    WavFileOpen wav(device);
    wav.sFile(path);
    fuzzCheck(wav.isValid() == wav.checkText().isEmpty(), "the check text lists a failure exactly when the file is invalid");
    fuzzCheck(!wav.isValid() || bytes.size() >= 44, "a valid file holds a whole header");
    fuzzCheck(std::isfinite(wav.sPlayTime()) && wav.sPlayTime() >= 0, "the playing time is a time");
    fuzzCheck(wav.sFileSize() == quint32(bytes.size()), "the file size is the file's length");

    // The rate to set comes from the input too, so absurd headers meet absurd rates.
    const quint32 rate = bytes.size() >= 48 ? qFromLittleEndian<quint32>(bytes.constData() + 44) : 22050;
    wav.sSamplesPerSec(rate);
    const QByteArray after = readFuzzFile(path);
    fuzzCheck(after.size() == bytes.size(), "a new rate keeps the file's length");
    fuzzCheck(after.mid(44) == bytes.mid(44), "a new rate changes nothing past the header");
    if (after == bytes || after.size() < 44)
        return 0;
    const double channels = qFromLittleEndian<quint16>(after.constData() + 22);
    const double bits = qFromLittleEndian<quint16>(after.constData() + 34);
    fuzzCheck(qFromLittleEndian<quint32>(after.constData() + 28) == std::nearbyint(channels * rate * bits / 8),
              "the byte rate written is the rate times the size of a sample frame");
    return 0;
}
