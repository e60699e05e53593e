#pragma once

#include <QString>

// Number conversions with the rules the stored texts were written for.
namespace VbNumber {

// The leading decimal number of a text (blanks before it are skipped, an
// optional sign, digits, an optional fraction); 0 when there is none.
double Val(const QString &text);

// Val rounded to the nearest whole number, halves to even, clamped to 32 bits.
qint32 ValInt(const QString &text);

// Rounding of a value to a whole number, halves to even.
qint64 RoundHalfEven(double value);

} // namespace VbNumber
