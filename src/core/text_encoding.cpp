#include "core/text_encoding.h"

#include <QByteArrayView>
#include <QStringDecoder>
#include <QStringEncoder>

#include <iconv.h>

#include <cerrno>

namespace {

const QByteArray kUtf16LEMark("\xFF\xFE", 2);
const QByteArray kUtf16BEMark("\xFE\xFF", 2);

// A conversion of iconv, opened once for a whole file and reset for each piece.
class Converter
{
public:
    Converter(const char *to, const char *from)
        : m_cd(iconv_open(to, from))
    {
    }
    ~Converter()
    {
        if (m_cd != iconv_t(-1))
            iconv_close(m_cd);
    }
    Converter(const Converter &) = delete;
    Converter &operator=(const Converter &) = delete;

    // Characters that cannot be converted are skipped rather than stopping the whole text.
    QByteArray operator()(QByteArrayView bytes)
    {
        if (m_cd == iconv_t(-1))
            return {};
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        QByteArray out;
        out.resize(bytes.size() * 4 + 16);
        char *in = const_cast<char *>(bytes.data());
        size_t inLeft = size_t(bytes.size());
        char *outPtr = out.data();
        size_t outLeft = size_t(out.size());
        while (inLeft > 0) {
            if (iconv(m_cd, &in, &inLeft, &outPtr, &outLeft) != size_t(-1))
                break;
            if (errno == EILSEQ || errno == EINVAL) {
                ++in; // skip one undecodable byte
                --inLeft;
                continue;
            }
            break; // E2BIG cannot happen with the room reserved above
        }
        out.resize(out.size() - qsizetype(outLeft));
        return out;
    }

private:
    iconv_t m_cd;
};

QString decodeUtf16(QByteArrayView bytes, QStringDecoder::Encoding encoding)
{
    // The mark is dropped here; a second one would be text of the file.
    QStringDecoder decoder(encoding, QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    return decoder.decode(bytes.sliced(2));
}

// Each line on its own, so that lines added in UTF-8 to a Big5 file read right; line ends
// are kept as they are.
QString decodeLineByLine(QByteArrayView bytes)
{
    Converter fromBig5("UTF-8", "CP950");
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
