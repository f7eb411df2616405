#include "datestamp.h"

#include <ctime>
#include <limits>

namespace dyadix {

namespace {

constexpr std::int64_t NoOffset = std::numeric_limits<std::int64_t>::min();

DateStamp stampOf(std::int64_t year, int month, int day, int hour, int minute)
{
    // Years print in four digits: those before year 0 as 0000, later ones by their last four.
    year = year < 0 ? 0 : year % 10000;
    return (((year * 100 + month) * 100 + day) * 100 + hour) * 100 + minute;
}

DateStamp stampOf(const std::tm &local)
{
    return stampOf(std::int64_t(local.tm_year) + 1900, local.tm_mon + 1, local.tm_mday,
                   local.tm_hour, local.tm_min);
}

bool localTime(std::int64_t seconds, std::tm &local)
{
    const std::time_t time = static_cast<std::time_t>(seconds);
    return localtime_r(&time, &local) != nullptr;
}

// The calendar date of a day counted from 1970-01-01 (proleptic Gregorian).
void civilFromDays(std::int64_t days, std::int64_t &year, int &month, int &day)
{
    days += 719468;
    const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const std::int64_t ofEra = days - era * 146097;
    const std::int64_t yearOfEra = (ofEra - ofEra / 1460 + ofEra / 36524 - ofEra / 146096) / 365;
    const std::int64_t ofYear = ofEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const std::int64_t shifted = (5 * ofYear + 2) / 153;
    day = int(ofYear - (153 * shifted + 2) / 5 + 1);
    month = int(shifted < 10 ? shifted + 3 : shifted - 9);
    year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
}

// The stamp of a time shifted to local time by a known offset.
DateStamp stampAtOffset(std::int64_t seconds, std::int64_t offset)
{
    const std::int64_t local = seconds + offset;
    const std::int64_t days = (local >= 0 ? local : local - 86399) / 86400;
    const std::int64_t inDay = local - days * 86400;
    std::int64_t year = 0;
    int month = 0, day = 0;
    civilFromDays(days, year, month, day);
    return stampOf(year, month, day, int(inDay / 3600), int(inDay % 3600 / 60));
}

void putDigits(QChar *out, std::int64_t value, int width)
{
    for (int i = width - 1; i >= 0; --i) {
        out[i] = QLatin1Char(static_cast<char>('0' + value % 10));
        value /= 10;
    }
}

} // namespace

DateStamp dateStampOf(std::int64_t secondsSinceEpoch)
{
    std::tm local {};
    return localTime(secondsSinceEpoch, local) ? stampOf(local) : 0;
}

void appendDateStampText(QString &text, DateStamp stamp)
{
    if (stamp <= 0)
        return;
    const qsizetype at = text.size();
    text.resize(at + 16);
    QChar *out = text.data() + at;
    putDigits(out, stamp / 100000000, 4);
    out[4] = QLatin1Char('/');
    putDigits(out + 5, stamp / 1000000 % 100, 2);
    out[7] = QLatin1Char('/');
    putDigits(out + 8, stamp / 10000 % 100, 2);
    out[10] = QLatin1Char(' ');
    putDigits(out + 11, stamp / 100 % 100, 2);
    out[13] = QLatin1Char(':');
    putDigits(out + 14, stamp % 100, 2);
}

QString dateStampText(DateStamp stamp)
{
    QString text;
    appendDateStampText(text, stamp);
    return text;
}

DateStamp parseDateStamp(QStringView text)
{
    static constexpr char Shape[] = "0000/00/00 00:00";
    if (text.size() != 16)
        return 0;
    DateStamp stamp = 0;
    for (qsizetype i = 0; i < 16; ++i) {
        const char16_t u = text[i].unicode();
        if (Shape[i] != '0') {
            if (u != char16_t(Shape[i]))
                return 0;
        } else if (u < u'0' || u > u'9') {
            return 0;
        } else {
            stamp = stamp * 10 + (u - u'0');
        }
    }
    return stamp;
}

DateStamp LocalDates::of(std::int64_t secondsSinceEpoch)
{
    const std::int64_t hour = (secondsSinceEpoch >= 0 ? secondsSinceEpoch : secondsSinceEpoch - 3599) / 3600;
    auto found = m_offsets.find(hour);
    if (found == m_offsets.end()) {
        // One offset serves the hour where the system gives the same offset at both its ends
        // and the same date and time as the arithmetic at its start.
        std::int64_t offset = NoOffset;
        std::tm first {}, last {};
        if (localTime(hour * 3600, first) && localTime(hour * 3600 + 3599, last)
            && first.tm_gmtoff == last.tm_gmtoff
            && stampAtOffset(hour * 3600, first.tm_gmtoff) == stampOf(first)
            && stampAtOffset(hour * 3600 + 3599, last.tm_gmtoff) == stampOf(last))
            offset = first.tm_gmtoff;
        found = m_offsets.emplace(hour, offset).first;
    }
    return found->second == NoOffset ? dateStampOf(secondsSinceEpoch)
                                     : stampAtOffset(secondsSinceEpoch, found->second);
}

} // namespace dyadix
