#pragma once

#include <QString>

#include <optional>

// The date and keyword typed in the "條件列印功能" box, checked and ready for the queries.
struct NewSongsFilter
{
    QString typedDate; // as typed, for the messages
    QString date;      // "YYYY/MM/DD", as the catalogue stores registration dates
    QString keyword;   // without leading and trailing blanks

    // nullopt when the date text is not a date. Year, month and day may be written without
    // leading zeros, separated by "/", "-" or ".".
    static std::optional<NewSongsFilter> parse(const QString &dateText, const QString &keywordText);

    // "沒有2009/1/1以後 or 有關"愛"的相關資料"
    QString noDataMessage() const;
};

// What the owner is told when the date is not a date.
inline const QString kBadStartDateText = QStringLiteral("請指定好起始列印的日期");

// A title counts at most 254 characters, so a longer keyword can match nothing; one of tens
// of thousands would only earn a refusal from the catalogue's pattern matching.
constexpr int kLongestKeyword = 254;
inline const QString kKeywordTooLongText = QStringLiteral("關建字太長, 最多 %1 個字").arg(kLongestKeyword);
