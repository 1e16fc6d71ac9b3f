#include "playback/wav_file_open.h"

#include "platform/mci_device.h"
#include "platform/output_file.h"

#include <QDataStream>
#include <QFile>
#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr int kHeaderSize = 44;
constexpr quint8 kErrorFileMissing = 0x01;
constexpr int kMciBufferLength = 20;

QByteArray tagBytes(const QString &tag)
{
    return tag.toLatin1().leftJustified(4, ' ', true);
}

QString readTag(QDataStream &in)
{
    char bytes[4] = {};
    in.readRawData(bytes, 4);
    return QString::fromLatin1(bytes, 4);
}

QByteArray le32(quint32 value)
{
    QByteArray bytes(4, '\0');
    qToLittleEndian(value, bytes.data());
    return bytes;
}

// Writes bytes at the given offsets of an existing file without touching the rest of it;
// true once they are on the disk.
bool overwrite(const QString &path, std::initializer_list<std::pair<qint64, QByteArray>> parts)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite | QIODevice::ExistingOnly))
        return false;
    for (const auto &[offset, bytes] : parts) {
        if (!file.seek(offset) || file.write(bytes) != bytes.size())
            return false;
    }
    return flushToDisk(file);
}

} // namespace

WavFileOpen::WavFileOpen(MciDevice &device)
    : m_device(device)
{
}

WavFileOpen::~WavFileOpen()
{
    sendMci(QStringLiteral("close po"));
}

void WavFileOpen::sSamplesPerSec(quint32 rate)
{
    // Round half to even, as a value is rounded when it is stored in a whole-number field.
    const double bytes = std::nearbyint(double(m_channels) * double(rate) * double(m_bitsPerSample) / 8.0);
    // A header with absurd channel or bit counts cannot hold the byte rate: it stays as it is.
    if (!m_valid || bytes > double(std::numeric_limits<quint32>::max()))
        return;
    m_samplesPerSec = rate;
    m_bytesPerSec = quint32(bytes);
    WrHandle();
    cwHandle();
}

QByteArray WavFileOpen::headerBytes() const
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out.writeRawData(tagBytes(m_riffTag).constData(), 4);
    out << m_riffSize;
    out.writeRawData(tagBytes(m_waveTag).constData(), 4);
    out.writeRawData(tagBytes(m_fmtTag).constData(), 4);
    out << m_formatLength << m_formatCode << m_channels << m_samplesPerSec << m_bytesPerSec
        << m_blockAlign << m_bitsPerSample;
    out.writeRawData(tagBytes(m_dataTag).constData(), 4);
    out << m_dataSize;
    return bytes;
}

void WavFileOpen::setHeader(const QByteArray &bytes)
{
    // A file shorter than a header reads as zeros past its end, so the checks report it.
    const QByteArray header = bytes.leftJustified(kHeaderSize, '\0', true);
    QDataStream in(header);
    in.setByteOrder(QDataStream::LittleEndian);
    m_riffTag = readTag(in);
    in >> m_riffSize;
    m_waveTag = readTag(in);
    m_fmtTag = readTag(in);
    in >> m_formatLength >> m_formatCode >> m_channels >> m_samplesPerSec >> m_bytesPerSec
        >> m_blockAlign >> m_bitsPerSample;
    m_dataTag = readTag(in);
    in >> m_dataSize;
}

void WavFileOpen::WrHandle()
{
    overwrite(m_file, {{0, headerBytes()}});
}

void WavFileOpen::sFile(const QString &path)
{
    m_file = path;
    Initialize();
}

bool WavFileOpen::CheckPCM()
{
    m_valid = true;
    const auto check = [this](bool ok, const QString &message) {
        if (ok)
            return;
        m_checkText += message + QChar(10);
        m_valid = false;
    };
    check(m_riffTag == QLatin1String("RIFF"), QStringLiteral("0x0001 -0x0004 RIFF錯誤"));
    check(qint64(m_riffSize) == m_length - 8, QStringLiteral("0x0005 -0x0008 RIFF錯誤"));
    check(m_waveTag == QLatin1String("WAVE"), QStringLiteral("0x0009-0x000C WAVE錯誤"));
    check(m_fmtTag == QLatin1String("fmt "), QStringLiteral("0x000D-0x0010 fmt 錯誤"));
    check(m_formatLength == 16, QStringLiteral("0x0011-0x0014 區塊大小錯誤"));
    check(m_formatCode == 1, QStringLiteral("0x0015-0x0018 非PCM"));
    // The fields past the end of a short file were read as zeros; they are not a header.
    check(m_fileSize >= kHeaderSize, QStringLiteral("0x0001-0x002C 檔頭不完整"));
    return m_valid;
}

bool WavFileOpen::cwHandle()
{
    const qint64 length = QFile(m_file).size();
    // Sizes the 32-bit fields cannot hold would be written cut to their lower bits.
    if (length < kHeaderSize || length - 8 > qint64(std::numeric_limits<quint32>::max()))
        return false;
    return overwrite(m_file, {{4, le32(quint32(length - 8))}, {40, le32(quint32(length - kHeaderSize))}});
}

void WavFileOpen::Initialize()
{
    m_playTime = 0.0;
    m_checkText.clear();
    m_fileSize = 0;
    m_length = 0;
    m_valid = false;
    m_errorBits = 0;
    if (!QFile::exists(m_file)) {
        m_errorBits |= kErrorFileMissing;
        return;
    }
    GetFileInfo();
    CheckPCM();
}

QString WavFileOpen::GetError(quint8 code) const
{
    if (code & kErrorFileMissing)
        return QStringLiteral("檔案不存在");
    return {};
}

void WavFileOpen::GetFileInfo()
{
    QFile file(m_file);
    if (!file.open(QIODevice::ReadOnly))
        return;
    setHeader(file.read(kHeaderSize));
    m_length = file.size();
    m_fileSize = quint32(std::min<qint64>(m_length, std::numeric_limits<quint32>::max()));
    // A damaged header may claim zero bytes per second; such a file has no playing time.
    m_playTime = m_bytesPerSec ? double(m_dataSize) / double(m_bytesPerSec) : 0.0;
}

void WavFileOpen::sNew(const QString &path, quint32 rate, quint8 bits, quint8 channels)
{
    m_riffTag = QStringLiteral("RIFF");
    m_riffSize = kHeaderSize - 8;
    m_waveTag = QStringLiteral("WAVE");
    m_fmtTag = QStringLiteral("fmt ");
    m_formatLength = 16;
    m_formatCode = 1;
    m_channels = channels;
    m_samplesPerSec = rate;
    m_bytesPerSec = quint32(quint64(rate) * bits * channels / 8);
    m_blockAlign = quint16(channels * bits / 8);
    m_bitsPerSample = bits;
    m_dataTag = QStringLiteral("data");
    m_dataSize = 0;
    m_file = path;
    if (QFile::exists(path))
        QFile::remove(path);
    OutputFile::write(path, headerBytes());
    Initialize();
}

void WavFileOpen::openDevice()
{
    sendMci(QStringLiteral("close po"));
    sendMci(QStringLiteral("open \"") + m_file + QStringLiteral("\" alias po"));
}

void WavFileOpen::sPlay()
{
    openDevice();
    sendMci(QStringLiteral("play po"));
}

void WavFileOpen::sStop()
{
    sendMci(QStringLiteral("stop po"));
}

void WavFileOpen::sPause()
{
    sendMci(QStringLiteral("pause po"));
}

void WavFileOpen::sResume()
{
    sendMci(QStringLiteral("resume po"));
}

void WavFileOpen::sRecord()
{
    m_mciReturn = QString(kMciBufferLength, QLatin1Char(' '));
    m_mciBufferReady = true;
    openDevice();
    sendMci(QStringLiteral("record po"));
}

void WavFileOpen::sSave()
{
    sendMci(QStringLiteral("save po"));
    sendMci(QStringLiteral("close po"));
}

void WavFileOpen::sClose()
{
    sendMci(QStringLiteral("close po"));
}

void WavFileOpen::sendMci(const QString &command)
{
    // Results are not acted on; the reply is kept once the return buffer exists (first sRecord).
    const QString reply = m_device.sendString(command);
    if (m_mciBufferReady)
        m_mciReturn = reply;
}
