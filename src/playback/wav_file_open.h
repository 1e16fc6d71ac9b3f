#pragma once

#include <QString>
#include <QtGlobal>

class MciDevice;

// The 44-byte header of a PCM WAV file, and the recording/playing device driven through
// command strings on the alias "po". The program keeps one instance, `Recorder`, for the
// guest's singing. Read/write members keep their names: the setter is the overload that
// takes a value (`wav.sFile(path)` sets, `wav.sFile()` reads).
class WavFileOpen
{
public:
    explicit WavFileOpen(MciDevice &device);
    ~WavFileOpen();

    WavFileOpen(const WavFileOpen &) = delete;
    WavFileOpen &operator=(const WavFileOpen &) = delete;

    QString sRiffFormatTag() const { return m_riffTag; }
    quint32 sfdataSize() const { return m_riffSize; }
    QString sFormatTag() const { return m_waveTag; }
    QString sFormatName() const { return m_fmtTag; }
    quint32 sCsize() const { return m_formatLength; }
    quint16 sWavefmt() const { return m_formatCode; }
    quint8 sChannels() const { return quint8(m_channels); }
    quint32 sSamplesPerSec() const { return m_samplesPerSec; }
    void sSamplesPerSec(quint32 rate);
    quint32 sBytePerSec() const { return m_bytesPerSec; }
    quint8 sBytePerSample() const { return quint8(m_blockAlign); }
    quint8 sBitsPerSample() const { return quint8(m_bitsPerSample); }
    QString sData() const { return m_dataTag; }
    quint32 sDataSize() const { return m_dataSize; }

    void WrHandle();
    QString sFile() const { return m_file; }
    void sFile(const QString &path);
    // The length, or 0xFFFFFFFF for a file longer than 32 bits can count.
    quint32 sFileSize() const { return m_fileSize; }
    double sPlayTime() const { return m_playTime; }
    bool CheckPCM();
    // False when the sizes were not written: the file is too short or too long for them, or
    // cannot be written.
    bool cwHandle();
    void Initialize();
    QString GetError(quint8 code) const;
    void GetFileInfo();
    void sNew(const QString &path, quint32 rate, quint8 bits, quint8 channels);
    void sPlay();
    void sStop();
    void sPause();
    void sResume();
    void sRecord();
    void sSave();
    void sClose();
    QString sErrorMessage() const { return m_mciReturn; }

    // State kept beside the header: result and messages of the last CheckPCM, error bits.
    bool isValid() const { return m_valid; }
    QString checkText() const { return m_checkText; }
    quint8 errorBits() const { return m_errorBits; }

private:
    QByteArray headerBytes() const;
    void setHeader(const QByteArray &bytes);
    void sendMci(const QString &command);
    void openDevice();

    MciDevice &m_device;

    QString m_riffTag;
    quint32 m_riffSize = 0;
    QString m_waveTag;
    QString m_fmtTag;
    quint32 m_formatLength = 0;
    quint16 m_formatCode = 0;
    quint16 m_channels = 0;
    quint32 m_samplesPerSec = 0;
    quint32 m_bytesPerSec = 0;
    quint16 m_blockAlign = 0;
    quint16 m_bitsPerSample = 0;
    QString m_dataTag;
    quint32 m_dataSize = 0;

    QString m_file;
    quint32 m_fileSize = 0;
    qint64 m_length = 0; // the whole length, which the checks compare with
    double m_playTime = 0.0;
    bool m_valid = false;
    QString m_checkText;
    quint8 m_errorBits = 0;
    QString m_mciReturn;
    bool m_mciBufferReady = false;
};
