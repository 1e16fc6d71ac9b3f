#include "bulk/count_field.h"

#include <cmath>

namespace {

// A field that is a number and nothing else (blanks around it allowed).
std::optional<double> numberIn(const QString &field)
{
    bool ok = false;
    const double value = field.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

} // namespace

std::optional<int> fileNameCount(const QString &field)
{
    const std::optional<double> value = numberIn(field);
    if (!value || *value <= 0 || *value >= 255)
        return std::nullopt;
    // Halves go to the even neighbour; 0.4 and 254.6 fall out.
    const double whole = std::nearbyint(*value);
    if (whole < 1 || whole > 254)
        return std::nullopt;
    return int(whole);
}

std::optional<int> listFileCount(const QString &field)
{
    const std::optional<double> value = numberIn(field);
    if (!value || std::floor(*value) < 1)
        return std::nullopt;
    const double whole = std::nearbyint(*value);
    if (whole > 32767)
        return std::nullopt;
    return int(whole);
}
