#pragma once

#include <QString>

// LIKE patterns built from what the owner typed: a typed "%", "_" or "\" means itself.
// Queries that use them end the LIKE with kLikeEscape.
inline const QString kLikeEscape = QStringLiteral(" ESCAPE '\\'");

// Text that LIKE matches exactly.
QString likeLiteral(const QString &text);
// Matches every text that begins with text.
inline QString likePrefix(const QString &text)
{
    return likeLiteral(text) + QLatin1Char('%');
}
// Matches every text that holds text anywhere (every text when it is empty).
inline QString likeFragment(const QString &text)
{
    return QLatin1Char('%') + likeLiteral(text) + QLatin1Char('%');
}
