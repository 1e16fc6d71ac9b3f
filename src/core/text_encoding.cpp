#include "core/text_encoding.h"

#include <QByteArrayView>
#include <QStringDecoder>
#include <QStringEncoder>

#include <iconv.h>

#include <cerrno>
#include <cstring>

namespace {

const QByteArray kUtf16LEMark("\xFF\xFE", 2);
const QByteArray kUtf16BEMark("\xFE\xFF", 2);

// A conversion of iconv, opened once for a whole file and reset for each piece. Each byte it
// cannot convert becomes the replacement bytes (none: the byte is skipped).
class Converter
{
public:
    Converter(const char *to, const char *from, QByteArray replacement = {})
        : m_cd(iconv_open(to, from))
        , m_replacement(std::move(replacement))
    {
    }
    ~Converter()
    {
        if (m_cd != iconv_t(-1))
            iconv_close(m_cd);
    }
    Converter(const Converter &) = delete;
    Converter &operator=(const Converter &) = delete;

    // A character that cannot be converted is replaced rather than stopping the whole text.
    QByteArray operator()(QByteArrayView bytes)
    {
        if (m_cd == iconv_t(-1))
            return {};
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        QByteArray out;
        out.resize(bytes.size() * qMax<qsizetype>(4, m_replacement.size()) + 16);
        char *in = const_cast<char *>(bytes.data());
        size_t inLeft = size_t(bytes.size());
        char *outPtr = out.data();
        size_t outLeft = size_t(out.size());
        while (inLeft > 0) {
            if (iconv(m_cd, &in, &inLeft, &outPtr, &outLeft) != size_t(-1))
                break;
            if (errno == EILSEQ || errno == EINVAL) {
                ++in; // one byte that cannot be converted
                --inLeft;
                std::memcpy(outPtr, m_replacement.constData(), size_t(m_replacement.size()));
                outPtr += m_replacement.size();
                outLeft -= size_t(m_replacement.size());
                continue;
            }
            break; // E2BIG cannot happen with the room reserved above
        }
        out.resize(out.size() - qsizetype(outLeft));
        return out;
    }

private:
    iconv_t m_cd;
    QByteArray m_replacement;
};

// Text that cannot be read shows where it was, as the replacement character.
const QByteArray kUtf8Replacement = QString(QChar::ReplacementCharacter).toUtf8();

// A surrogate without its other half is no character: it stands for damaged bytes.
QString withLoneSurrogatesReplaced(QString text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
        else if (text[i].isSurrogate())
            text[i] = QChar::ReplacementCharacter;
    }
    return text;
}

QString decodeUtf16(QByteArrayView bytes, QStringDecoder::Encoding encoding)
{
    // The mark is dropped here; a second one would be text of the file. A byte cut off at
    // the end is replaced by the decoder itself.
    QStringDecoder decoder(encoding, QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    return withLoneSurrogatesReplaced(decoder.decode(bytes.sliced(2)));
}

// Each line on its own, so that lines added in UTF-8 to a Big5 file read right; line ends
// are kept as they are.
QString decodeLineByLine(QByteArrayView bytes)
{
    Converter fromBig5("UTF-8", "CP950", kUtf8Replacement);
    const auto decodeLine = [&fromBig5](QByteArrayView line) {
        return line.isValidUtf8() ? QString::fromUtf8(line) : QString::fromUtf8(fromBig5(line));
    };
    QString text;
    qsizetype start = 0;
    while (start < bytes.size()) {
        qsizetype end = start;
        while (end < bytes.size() && bytes[end] != '\n' && bytes[end] != '\r')
            ++end;
        text += decodeLine(bytes.sliced(start, end - start));
        if (end < bytes.size())
            text += QLatin1Char(bytes[end]);
        start = end + 1;
    }
    return text;
}

} // namespace

TextEncoding detectEncoding(const QByteArray &bytes)
{
    if (bytes.startsWith(kUtf16LEMark))
        return TextEncoding::Utf16LE;
    if (bytes.startsWith(kUtf16BEMark))
        return TextEncoding::Utf16BE;
    return QByteArrayView(bytes).isValidUtf8() ? TextEncoding::Utf8 : TextEncoding::Big5;
}

QString decodeText(const QByteArray &bytes)
{
    QString text;
    switch (detectEncoding(bytes)) {
    case TextEncoding::Utf16LE:
        return decodeUtf16(bytes, QStringDecoder::Utf16LE);
    case TextEncoding::Utf16BE:
        return decodeUtf16(bytes, QStringDecoder::Utf16BE);
    case TextEncoding::Utf8:
        text = QString::fromUtf8(bytes);
        break;
    case TextEncoding::Big5:
        text = decodeLineByLine(bytes);
        break;
    }
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    return text;
}

QString decodeBig5(QByteArrayView bytes)
{
    return QString::fromUtf8(Converter("UTF-8", "CP950", kUtf8Replacement)(bytes));
}

bool holdsUnreadableText(const QString &text)
{
    return text.contains(QChar::ReplacementCharacter);
}

QByteArray encodeText(const QString &text, TextEncoding encoding)
{
    switch (encoding) {
    case TextEncoding::Utf8:
        return text.toUtf8();
    case TextEncoding::Big5:
        return Converter("CP950", "UTF-8")(text.toUtf8());
    case TextEncoding::Utf16LE:
        return QStringEncoder(QStringEncoder::Utf16LE)(text);
    case TextEncoding::Utf16BE:
        return QStringEncoder(QStringEncoder::Utf16BE)(text);
    }
    return {};
}
