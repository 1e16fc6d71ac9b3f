#include "print/new_songs_filter.h"

#include <QDate>
#include <QRegularExpression>

std::optional<NewSongsFilter> NewSongsFilter::parse(const QString &dateText, const QString &keywordText)
{
    static const QRegularExpression pattern(QStringLiteral("^\\s*(\\d{4})([/.-])(\\d{1,2})\\2(\\d{1,2})\\s*$"));
    const QRegularExpressionMatch match = pattern.match(dateText);
    if (!match.hasMatch())
        return std::nullopt;
    const QDate date(match.captured(1).toInt(), match.captured(3).toInt(), match.captured(4).toInt());
    if (!date.isValid())
        return std::nullopt;
    return NewSongsFilter{dateText, date.toString(QStringLiteral("yyyy/MM/dd")), keywordText.trimmed()};
}

QString NewSongsFilter::titlePattern() const
{
    QString escaped;
    for (QChar c : keyword) {
        if (c == QLatin1Char('\\') || c == QLatin1Char('%') || c == QLatin1Char('_'))
            escaped += QLatin1Char('\\');
        escaped += c;
    }
    return QLatin1Char('%') + escaped + QLatin1Char('%');
}

QString NewSongsFilter::noDataMessage() const
{
    return QStringLiteral("沒有") + typedDate + QStringLiteral("以後 or 有關\"") + keyword + QStringLiteral("\"的相關資料");
}
