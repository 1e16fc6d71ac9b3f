#pragma once

#include <QString>

// The number a text starts with: leading blanks, an optional sign, digits, an optional
// decimal part and exponent. "47abc" gives 47, "abc" gives 0.
double leadingNumber(const QString &text);

// The leading number as a whole number, rounded to the nearest integer.
int leadingInteger(const QString &text);

// Decimal text of the leading number ("47" for " 47 ", "2.5" for "2.5x").
QString leadingNumberText(const QString &text);
