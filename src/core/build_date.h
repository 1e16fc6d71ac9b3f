#pragma once

#include <QString>

#include <optional>

// A date as the owner may type it ("2026/12/5", "2026-12-05", "2026.12.5": one separator
// throughout, leading zeros optional) written as the catalogue keeps dates, "YYYY/MM/DD", so
// that text order is date order; nothing when it is no date.
std::optional<QString> buildDateText(const QString &typed);
