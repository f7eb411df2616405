#pragma once

// One line of a file list, its text and its order.

#include "core/datestamp.h"
#include "core/nameorder.h"

#include <QString>
#include <QStringView>

#include <cstdint>
#include <vector>

namespace dyadix {

// One line of a file list. A listed entry carries the file's date text and size; a
// placeholder stands for a file that exists only in the other pane and has neither. The line
// text is derived from the fields, so a name holding a TAB or any other character is never
// taken apart wrongly.
struct PaneEntry
{
    QString name;
    DateStamp date = 0; // 0 for a placeholder
    std::int64_t size = 0;
    bool placeholder = false;
    std::int64_t modified = 0; // seconds since the epoch, when known

    // A line with its date given as the list shows it, "yyyy/mm/dd hh:nn".
    static PaneEntry listed(QString name, const QString &dateText, std::int64_t size,
                            std::int64_t modified = 0);
    static PaneEntry listedAt(QString name, DateStamp date, std::int64_t size, std::int64_t modified);
    static PaneEntry placeholderFor(QString name);

    // "yyyy/mm/dd hh:nn"; empty for a placeholder.
    QString dateText() const { return dateStampText(date); }

    // name TAB date TAB size (right-aligned in 8 characters), or name TAB TAB.
    QString text() const;
    // Appends text() to `line` without building it separately.
    void appendText(QString &line) const;
};

// Appends a line's text, as PaneEntry::text gives it, from its parts.
void appendLineText(QString &line, NameView name, DateStamp date, std::int64_t size, bool placeholder);

// A size as the list shows it: right-aligned in eight characters, longer numbers unpadded.
QString sizeText(std::int64_t size);

// What orders a line in a file list.
struct LineOrderKey
{
    NameView name;
    DateStamp date;
    std::int64_t size;
    bool placeholder;
};

// The one order of lines in a file list: by name (compareNames), then, for names equal but
// for case, the name's exact spelling, then date, size and placeholders first, so that the
// order is total.
bool lineOrderLess(const LineOrderKey &a, const LineOrderKey &b);

// lineOrderLess on entries.
inline bool entryLess(const PaneEntry &a, const PaneEntry &b)
{
    return lineOrderLess({QStringView(a.name), a.date, a.size, a.placeholder},
                         {QStringView(b.name), b.date, b.size, b.placeholder});
}

// Sorts lines by entryLess; quicker than std::sort with it for long lists of plain names.
void sortEntries(std::vector<PaneEntry> &entries);

} // namespace dyadix

namespace dyadix {

// A name as a list shows it on one line: TAB, line feed and other control characters appear
// as their visible pictures, and bytes that were not UTF-8 as the replacement character.
QString displayName(const QString &name);

} // namespace dyadix
