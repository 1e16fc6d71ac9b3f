#include "core/stroke_collation.h"

#include <unicode/ucol.h>

namespace {

// Changes with any setting below, so keys made under the old settings are made again.
constexpr const char *kSettings = "zh_TW secondary normalized";

UCollator *openCollator()
{
    UErrorCode status = U_ZERO_ERROR;
    UCollator *collator = ucol_open("zh_TW", &status);
    if (U_FAILURE(status))
        return nullptr;
    // Case is a tertiary difference: at the secondary level "Love" and "LOVE" are one title.
    ucol_setStrength(collator, UCOL_SECONDARY);
    // A character written composed or decomposed sorts alike.
    ucol_setAttribute(collator, UCOL_NORMALIZATION_MODE, UCOL_ON, &status);
    if (U_FAILURE(status)) {
        ucol_close(collator);
        return nullptr;
    }
    return collator;
}

} // namespace

QString StrokeSortKeys::version()
{
    UCollator *collator = openCollator();
    if (!collator)
        return QString();
    UVersionInfo info;
    ucol_getVersion(collator, info);
    ucol_close(collator);
    char text[U_MAX_VERSION_STRING_LENGTH];
    u_versionToString(info, text);
    return QStringLiteral("%1 %2").arg(QLatin1String(kSettings), QLatin1String(text));
}

StrokeSortKeys::StrokeSortKeys()
    : m_collator(openCollator())
{
}

StrokeSortKeys::~StrokeSortKeys()
{
    if (m_collator)
        ucol_close(m_collator);
}

QByteArray StrokeSortKeys::of(const QString &text) const
{
    // Without ICU's collator every text sorts alike, and the order falls to the caller's next key.
    if (!m_collator)
        return {};
    const auto *chars = reinterpret_cast<const UChar *>(text.utf16());
    QByteArray key(64, Qt::Uninitialized);
    int length = ucol_getSortKey(m_collator, chars, int(text.size()), reinterpret_cast<uint8_t *>(key.data()),
                                 int(key.size()));
    if (length > key.size()) {
        key.resize(length);
        length = ucol_getSortKey(m_collator, chars, int(text.size()), reinterpret_cast<uint8_t *>(key.data()),
                                 int(key.size()));
    }
    key.resize(qMax(0, length - 1)); // without the closing zero byte
    return key;
}
