#include "print/new_songs_filter.h"

#include "core/build_date.h"

std::optional<NewSongsFilter> NewSongsFilter::parse(const QString &dateText, const QString &keywordText)
{
    const std::optional<QString> date = buildDateText(dateText);
    if (!date)
        return std::nullopt;
    return NewSongsFilter{dateText, *date, keywordText.trimmed()};
}

QString NewSongsFilter::noDataMessage() const
{
    return QStringLiteral("沒有") + typedDate + QStringLiteral("以後 or 有關\"") + keyword + QStringLiteral("\"的相關資料");
}
