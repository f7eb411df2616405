#pragma once

// A list line's date as one number, and its text.

#include <QString>
#include <QStringView>

#include <cstdint>
#include <unordered_map>

namespace dyadix {

// A list line's date as one number, yyyymmddhhnn of local time (202406011200 for
// "2024/06/01 12:00"), so that numbers compare as the texts do; 0 for no date (the text "").
using DateStamp = std::int64_t;

// The stamp of a time in seconds since the epoch, in local time; 0 where the system cannot
// convert it.
DateStamp dateStampOf(std::int64_t secondsSinceEpoch);

// "yyyy/mm/dd hh:nn"; "" for 0.
QString dateStampText(DateStamp stamp);
// Appends the text of a stamp without building it separately.
void appendDateStampText(QString &text, DateStamp stamp);

// The stamp of a "yyyy/mm/dd hh:nn" text; 0 for any other text.
DateStamp parseDateStamp(QStringView text);

// Stamps of many times, most of them hours apart or less: the local time's offset from UTC is
// asked of the system once per hour of times, not once per time. One per thread.
class LocalDates
{
public:
    DateStamp of(std::int64_t secondsSinceEpoch);

private:
    // Offset of each hour whose times all have one offset; NoOffset where they do not.
    std::unordered_map<std::int64_t, std::int64_t> m_offsets;
};

} // namespace dyadix
