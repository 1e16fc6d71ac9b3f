#include "core/text_encoding.h"

#include <QStringDecoder>

#include <iconv.h>

#include <cerrno>

namespace {

// Converts with iconv; characters that cannot be converted are skipped rather than
// stopping the whole file.
QByteArray convert(const char *to, const char *from, const QByteArray &bytes)
{
    iconv_t cd = iconv_open(to, from);
    if (cd == iconv_t(-1))
        return {};
    QByteArray out;
    out.resize(bytes.size() * 4 + 16);
    char *in = const_cast<char *>(bytes.constData());
    size_t inLeft = size_t(bytes.size());
    char *outPtr = out.data();
    size_t outLeft = size_t(out.size());
    while (inLeft > 0) {
        if (iconv(cd, &in, &inLeft, &outPtr, &outLeft) != size_t(-1))
            break;
        if (errno == EILSEQ || errno == EINVAL) {
            ++in; // skip one undecodable byte
            --inLeft;
            continue;
        }
        break; // E2BIG cannot happen with the room reserved above
    }
    iconv_close(cd);
    out.resize(out.size() - qsizetype(outLeft));
    return out;
}

} // namespace

TextEncoding detectEncoding(const QByteArray &bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString decoded = decoder.decode(bytes); // decoding happens on conversion
    return decoder.hasError() ? TextEncoding::Big5 : TextEncoding::Utf8;
}

QString decodeText(const QByteArray &bytes)
{
    if (detectEncoding(bytes) == TextEncoding::Utf8) {
        QString text = QString::fromUtf8(bytes);
        if (text.startsWith(QChar(0xFEFF)))
            text.remove(0, 1);
        return text;
    }
    return QString::fromUtf8(convert("UTF-8", "CP950", bytes));
}

QByteArray encodeText(const QString &text, TextEncoding encoding)
{
    if (encoding == TextEncoding::Utf8)
        return text.toUtf8();
    return convert("CP950", "UTF-8", text.toUtf8());
}
