#pragma once

#include <QString>

#include <optional>

// The character count written in a file name: a number above 0 and below 255, made whole.
std::optional<int> fileNameCount(const QString &field);

// The character count of a list-file line: a number whose whole part is at least 1, made
// whole; the count is kept in 16 bits, so a larger number is refused too.
std::optional<int> listFileCount(const QString &field);
