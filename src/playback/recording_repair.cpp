#include "playback/recording_repair.h"

#include "platform/file_system.h"
#include "platform/mci_device.h"
#include "playback/wav_file_open.h"

#include <QDir>

namespace {

// Reading and correcting headers needs no device; this one accepts every command and does nothing.
class NoDevice : public MciDevice
{
public:
    QString sendString(const QString &) override { return {}; }
};

bool isCutOff(const WavFileOpen &wav)
{
    const bool tagsIntact = wav.sRiffFormatTag() == QLatin1String("RIFF") && wav.sFormatTag() == QLatin1String("WAVE")
        && wav.sFormatName() == QLatin1String("fmt ") && wav.sData() == QLatin1String("data");
    const quint32 size = wav.sFileSize();
    return tagsIntact && size >= 44 && (wav.sfdataSize() != size - 8 || wav.sDataSize() != size - 44);
}

} // namespace

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
        wav.sFile(path);
        if (!isCutOff(wav))
            continue;
        wav.cwHandle();
        repaired.append(path);
    }
    return repaired;
}
