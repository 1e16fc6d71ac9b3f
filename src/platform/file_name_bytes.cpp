#include "platform/file_name_bytes.h"

#include <QStringDecoder>

namespace {

constexpr char16_t kEscapeBase = 0xDC00;

// The length of the UTF-8 character that starts rest, or 0 when rest does not start with one:
// the shortest valid prefix is exactly one character.
qsizetype characterLength(QByteArrayView rest)
{
    for (qsizetype length = 1; length <= qMin<qsizetype>(4, rest.size()); ++length) {
        if (rest.first(length).isValidUtf8())
            return length;
    }
    return 0;
}

// A byte mark at the start of a name is part of the name, not a mark to drop.
QString decodeUtf8(QByteArrayView bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    return decoder.decode(bytes);
}

bool isEscapedByte(QStringView name, qsizetype i)
{
    const char16_t c = name[i].unicode();
    const bool pairsWithPrevious = i > 0 && name[i - 1].isHighSurrogate();
    return c >= kEscapeBase + 0x80 && c <= kEscapeBase + 0xFF && !pairsWithPrevious;
}

} // namespace

QString fileNameFromBytes(QByteArrayView bytes)
{
    if (bytes.isValidUtf8())
        return decodeUtf8(bytes);
    QString name;
    qsizetype start = 0; // start of the readable text not yet taken
    for (qsizetype i = 0; i < bytes.size();) {
        if (const qsizetype length = characterLength(bytes.sliced(i))) {
            i += length;
            continue;
        }
        name += decodeUtf8(bytes.sliced(start, i - start));
        name += QChar(char16_t(kEscapeBase + uchar(bytes[i])));
        start = ++i;
    }
    return name + decodeUtf8(bytes.sliced(start));
}

QByteArray fileNameBytes(QStringView name)
{
    QByteArray bytes;
    qsizetype start = 0; // start of the text not yet written
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (!isEscapedByte(name, i))
            continue;
        bytes += name.sliced(start, i - start).toUtf8();
        bytes += char(name[i].unicode() - kEscapeBase);
        start = i + 1;
    }
    return bytes + name.sliced(start).toUtf8();
}

bool isUnreadableFileName(QStringView name)
{
    return !name.isValidUtf16();
}
