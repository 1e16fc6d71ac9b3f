// A recording as any bytes: the repair changes at most the two size fields, leaves a recording
// with metadata after its audio alone, and a repaired take is valid and needs no second repair.
#include "fuzz_support.h"

#include "platform/qt_file_system.h"
#include "playback/recording_repair.h"
#include "playback/wav_file_open.h"

#include <QDir>
#include <QtEndian>

#include <algorithm>

namespace {

// The input with the bytes the repair may write (the two sizes) blanked.
QByteArray withoutSizes(QByteArray bytes)
{
    for (qsizetype offset : {4, 40}) {
        for (qsizetype i = offset; i < offset + 4 && i < bytes.size(); ++i)
            bytes[i] = 0;
    }
    return bytes;
}

quint32 le32At(const QByteArray &bytes, qsizetype offset)
{
    return offset + 4 <= bytes.size() ? qFromLittleEndian<quint32>(bytes.constData() + offset) : 0;
}

// A recording whose RIFF size is right and whose audio is followed by exactly one chunk (a
// printable name) that ends with the file: whole, with metadata after the audio.
bool hasOneChunkAfterTheAudio(const QByteArray &bytes)
{
    const qint64 dataEnd = 44 + qint64(le32At(bytes, 40));
    const qint64 chunkEnd = dataEnd + 8 + le32At(bytes, dataEnd + 4);
    const QByteArray name = bytes.mid(dataEnd, 4);
    const bool printable = std::all_of(name.begin(), name.end(), [](char c) { return c >= 0x20 && c <= 0x7e; });
    return bytes.size() >= 44 && le32At(bytes, 4) == quint32(bytes.size() - 8) && dataEnd + 8 <= bytes.size()
        && printable && chunkEnd == bytes.size();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes = fuzzInput(data, size);
    const QString folder = fuzzFolder().path();
    const QString path = QDir(folder).filePath(QStringLiteral("take.wav"));
    writeFuzzFile(path, bytes);

    QtFileSystem fs;
    const QStringList repaired = repairRecordings(fs, folder);
    const QByteArray after = readFuzzFile(path);
    fuzzCheck(withoutSizes(after) == withoutSizes(bytes), "nothing but the two sizes changes");
    fuzzCheck(!repaired.isEmpty() || after == bytes, "a file that needs no repair stays as it was");
    fuzzCheck(!hasOneChunkAfterTheAudio(bytes) || after == bytes, "metadata after the audio keeps a recording whole");
    if (repaired.isEmpty())
        return 0;

    SilentMciDevice device;
    WavFileOpen wav(device);
    wav.sFile(path);
    fuzzCheck(wav.isValid(), "a repaired take passes the PCM check");
    fuzzCheck(wav.sDataSize() == quint32(bytes.size() - 44), "the repaired audio runs to the end of the file");
    fuzzCheck(repairRecordings(fs, folder).isEmpty(), "a repaired take needs no second repair");
    return 0;
}
