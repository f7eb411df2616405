#pragma once

// Numbers read from texts, and integers checked for their range.

#include "result.h"

#include <QString>

#include <cstdint>

namespace dyadix {

// The number at the start of a text: blanks and tabs before it are skipped, reading stops at
// the first character that cannot continue the number, and a text without one gives 0.
double Val(const QString &text);

// Whether a text, blanks around it allowed, is one decimal number (sign, digits, a decimal
// point, an exponent). The empty text is not numeric.
bool IsNumeric(const QString &text);

// A fraction taken to the nearest whole number, a half going to the even neighbour.
double roundHalfEven(double value);

// Conversions to whole numbers with half-to-even rounding: "Type mismatch" for a text that is
// not a number (the empty text included), "Overflow" outside the target's range.
Result<std::int16_t> toInteger16(const QString &text);
Result<std::int16_t> toInteger16(double value);
Result<std::int32_t> toInteger32(const QString &text);
Result<std::int32_t> toInteger32(double value);

// "yyyy/mm/dd hh:nn" of a time in seconds since the epoch, in local time. The fixed widths
// make two such texts compare in time order.
QString formatDateText(std::int64_t secondsSinceEpoch);

} // namespace dyadix
