#include "playback/recording_repair.h"

#include "platform/file_system.h"
#include "platform/mci_device.h"
#include "playback/wav_file_open.h"

#include <QDir>
#include <QFile>
#include <QtEndian>

#include <algorithm>
#include <limits>

namespace {

constexpr qint64 kHeaderSize = 44;
constexpr qint64 kChunkHeaderSize = 8;
// Metadata after the audio is a handful of chunks; a longer chain is not our take either.
constexpr int kMostChunksAfterAudio = 4096;

// Reading and correcting headers needs no device; this one accepts every command and does nothing.
class NoDevice : public MciDevice
{
public:
    QString sendString(const QString &) override { return {}; }
};

quint32 le32(const QByteArray &bytes, qsizetype offset)
{
    return qFromLittleEndian<quint32>(bytes.constData() + offset);
}

quint16 le16(const QByteArray &bytes, qsizetype offset)
{
    return qFromLittleEndian<quint16>(bytes.constData() + offset);
}

// Chunk names are four printable characters; samples read as a chunk header seldom are.
bool isChunkName(const QByteArray &name)
{
    return std::all_of(name.begin(), name.end(), [](char c) { return c >= 0x20 && c <= 0x7e; });
}

// True when chunks follow each other from offset to the very end of the file, as the
// metadata after the audio of a whole WAV does. A chunk of odd size is followed by a pad
// byte, which some writers leave off at the end of the file.
bool chunksRunToEnd(QIODevice &file, qint64 offset, qint64 length)
{
    for (int chunks = 0; offset < length; ++chunks) {
        if (chunks == kMostChunksAfterAudio)
            return true; // not a take the recorder wrote: leave it alone
        if (!file.seek(offset))
            return false;
        const QByteArray header = file.read(kChunkHeaderSize);
        if (header.size() < kChunkHeaderSize || !isChunkName(header.first(4)))
            return false;
        const qint64 size = le32(header, 4);
        offset += kChunkHeaderSize + size;
        if (offset == length)
            return true;
        offset += size & 1;
    }
    return offset == length;
}

bool isRecorderHeader(const QByteArray &header)
{
    return header.size() == kHeaderSize && header.startsWith("RIFF") && header.mid(8, 8) == "WAVEfmt "
        && le32(header, 16) == 16 && le16(header, 20) == 1 && header.mid(36, 4) == "data";
}

} // namespace

bool isCutOffTake(QIODevice &file)
{
    const qint64 length = file.size();
    // The size fields are 32 bits: a longer file cannot be described by them at all.
    if (length < kHeaderSize || length - 8 > std::numeric_limits<quint32>::max() || !file.seek(0))
        return false;
    const QByteArray header = file.read(kHeaderSize);
    if (!isRecorderHeader(header))
        return false;
    const qint64 dataSize = le32(header, 40);
    const qint64 dataEnd = kHeaderSize + dataSize;
    if (le32(header, 4) == length - 8 && dataEnd == length)
        return false;
    // Audio whose chunk ends inside the file, followed by whole chunks: a good recording.
    return !(dataEnd < length && chunksRunToEnd(file, dataEnd + (dataSize & 1), length));
}

QStringList repairRecordings(FileSystem &fs, const QString &recordFolder)
{
    QStringList repaired;
    if (!fs.folderExists(recordFolder))
        return repaired;
    NoDevice device;
    WavFileOpen wav(device);
    for (const QString &name : fs.listFiles(recordFolder)) {
        if (!name.endsWith(QLatin1String(".wav"), Qt::CaseInsensitive))
            continue;
        const QString path = QDir(recordFolder).filePath(name);
        if (fs.kindOf(path) != FileSystem::Kind::File)
            continue;
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly) || !isCutOffTake(file))
            continue;
        file.close();
        wav.sFile(path);
        if (wav.cwHandle())
            repaired.append(path);
    }
    return repaired;
}
