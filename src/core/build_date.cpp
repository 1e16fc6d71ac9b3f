#include "core/build_date.h"

#include <QDate>
#include <QRegularExpression>

std::optional<QString> buildDateText(const QString &typed)
{
    static const QRegularExpression pattern(QStringLiteral("^(\\d{4})([/.-])(\\d{1,2})\\2(\\d{1,2})$"));
    const QRegularExpressionMatch match = pattern.match(typed.trimmed());
    if (!match.hasMatch())
        return std::nullopt;
    const QDate date(match.captured(1).toInt(), match.captured(3).toInt(), match.captured(4).toInt());
    if (!date.isValid())
        return std::nullopt;
    return date.toString(QStringLiteral("yyyy/MM/dd"));
}
