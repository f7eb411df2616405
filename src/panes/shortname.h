#pragma once

// A line's name shortened to fit its column.

#include <QString>

#include <functional>

namespace dyadix {

// The name as it fits in `available` (in the units `width` measures). A relative path gives up
// its folders first, from the last one up ("2024/…/picnic by the lake.jpg", then
// "…/picnic by the lake.jpg"), and only then the file's own name, in its middle ("pic…lake.jpg"),
// so that the end of the name, with its type, still shows.
QString shortenedName(const QString &name, int available, const std::function<int(const QString &)> &width);

// A date text "yyyy/mm/dd hh:nn" in its short form, as `ls -l` shortens dates: the day and time
// for a date of `thisYear` ("06/12 18:30"), the day alone for one of another year
// ("2023/12/24"). Any other text stays as it is.
QString shortDateText(const QString &dateText, int thisYear);

} // namespace dyadix
