#include "conversions.h"

#include "datestamp.h"

#include <cmath>
#include <ctime>
#include <limits>

namespace dyadix {

namespace {

bool isDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }

// Length of the number that starts at `from`, or 0 when none does. With `strict`, the whole
// number must be well formed (an exponent marker needs digits); otherwise it reads as far as
// it can, as Val does.
qsizetype scanNumber(const QString &text, qsizetype from)
{
    qsizetype i = from;
    const qsizetype n = text.size();
    if (i < n && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-')))
        ++i;
    qsizetype digits = 0;
    while (i < n && isDigit(text[i])) {
        ++i;
        ++digits;
    }
    if (i < n && text[i] == QLatin1Char('.')) {
        ++i;
        while (i < n && isDigit(text[i])) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0)
        return 0;
    if (i < n && (text[i] == QLatin1Char('e') || text[i] == QLatin1Char('E'))) {
        qsizetype j = i + 1;
        if (j < n && (text[j] == QLatin1Char('+') || text[j] == QLatin1Char('-')))
            ++j;
        if (j < n && isDigit(text[j])) {
            while (j < n && isDigit(text[j]))
                ++j;
            i = j;
        }
    }
    return i - from;
}

bool isBlank(QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); }

template<typename Int>
Result<Int> toInteger(double value)
{
    if (std::isnan(value))
        return ErrorNumber::Overflow;
    const double rounded = roundHalfEven(value);
    if (rounded < static_cast<double>(std::numeric_limits<Int>::min())
        || rounded > static_cast<double>(std::numeric_limits<Int>::max()))
        return ErrorNumber::Overflow;
    return static_cast<Int>(rounded);
}

template<typename Int>
Result<Int> toInteger(const QString &text)
{
    if (!IsNumeric(text))
        return ErrorNumber::TypeMismatch;
    return toInteger<Int>(text.trimmed().toDouble());
}

} // namespace

double Val(const QString &text)
{
    qsizetype start = 0;
    while (start < text.size() && isBlank(text[start]))
        ++start;
    const qsizetype length = scanNumber(text, start);
    if (length == 0)
        return 0.0;
    bool ok = false;
    const double value = QStringView(text).mid(start, length).toDouble(&ok);
    return ok ? value : 0.0;
}

bool IsNumeric(const QString &text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return false;
    if (scanNumber(trimmed, 0) != trimmed.size())
        return false;
    const QChar last = trimmed.back();
    // An exponent marker must be followed by digits ("1e" is not a number).
    return last != QLatin1Char('e') && last != QLatin1Char('E');
}

double roundHalfEven(double value)
{
    const double floor = std::floor(value);
    const double fraction = value - floor;
    if (fraction < 0.5)
        return floor;
    if (fraction > 0.5)
        return floor + 1.0;
    return std::fmod(floor, 2.0) == 0.0 ? floor : floor + 1.0;
}

Result<std::int16_t> toInteger16(const QString &text) { return toInteger<std::int16_t>(text); }
Result<std::int16_t> toInteger16(double value) { return toInteger<std::int16_t>(value); }
Result<std::int32_t> toInteger32(const QString &text) { return toInteger<std::int32_t>(text); }
Result<std::int32_t> toInteger32(double value) { return toInteger<std::int32_t>(value); }

QString formatDateText(std::int64_t secondsSinceEpoch)
{
    return dateStampText(dateStampOf(secondsSinceEpoch));
}

} // namespace dyadix
