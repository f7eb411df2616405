#include "paneentry.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <limits>
#include <cstdio>
#include <cstring>

namespace dyadix {

PaneEntry PaneEntry::listed(QString name, const QString &dateText, std::int64_t size,
                            std::int64_t modified)
{
    return PaneEntry {std::move(name), parseDateStamp(dateText), size, false, modified};
}

PaneEntry PaneEntry::listedAt(QString name, DateStamp date, std::int64_t size, std::int64_t modified)
{
    return PaneEntry {std::move(name), date, size, false, modified};
}

PaneEntry PaneEntry::placeholderFor(QString name)
{
    return PaneEntry {std::move(name), 0, 0, true, 0};
}

QString sizeText(std::int64_t size)
{
    const QString digits = QString::number(size);
    if (digits.size() >= 8)
        return digits;
    return QString(8 - digits.size(), QLatin1Char(' ')) + digits;
}

QString PaneEntry::text() const
{
    QString line;
    line.reserve(name.size() + 28);
    appendText(line);
    return line;
}

void PaneEntry::appendText(QString &line) const
{
    appendLineText(line, QStringView(name), date, size, placeholder);
}

void appendLineText(QString &line, NameView name, DateStamp date, std::int64_t size, bool placeholder)
{
    name.appendTo(line);
    line += QLatin1Char('\t');
    if (placeholder) {
        line += QLatin1Char('\t');
        return;
    }
    appendDateStampText(line, date);
    line += QLatin1Char('\t');
    // The size right-aligned in eight characters, longer numbers unpadded.
    char digits[24];
    char *end = digits + sizeof digits;
    char *at = end;
    std::uint64_t magnitude = size < 0 ? 0 - std::uint64_t(size) : std::uint64_t(size);
    do {
        *--at = char('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (size < 0)
        *--at = '-';
    while (end - at < 8)
        *--at = ' ';
    line += QLatin1StringView(at, end - at);
}

bool lineOrderLess(const LineOrderKey &a, const LineOrderKey &b)
{
    if (const int byName = compareNameViews(a.name, b.name); byName != 0)
        return byName < 0;
    // Names one apart in case only stand in the order of their characters, so that the same
    // names in two lists stand in the same order.
    if (const int exactly = compareNameViewsExactly(a.name, b.name); exactly != 0)
        return exactly < 0;
    if (a.date != b.date)
        return a.date < b.date;
    if (a.size != b.size)
        return a.size < b.size;
    return a.placeholder && !b.placeholder;
}

namespace {

// The first sixteen characters of a name folded as compareNames folds them, as two numbers
// whose order is the order of those characters, as long as they are ASCII.
struct SortKey
{
    std::uint64_t high = 0;
    std::uint64_t low = 0;
    std::uint32_t index = 0;
    std::uint8_t covered = 0; // leading characters in the numbers
    bool whole = false; // the numbers hold the whole name

    static SortKey of(const QString &name, std::uint32_t index)
    {
        SortKey key;
        key.index = index;
        const char16_t *units = QStringView(name).utf16();
        const qsizetype count = std::min<qsizetype>(name.size(), 16);
        qsizetype i = 0;
        for (; i < count && units[i] < 0x80; ++i) {
            const std::uint64_t byte = foldUnit(units[i]);
            if (i < 8)
                key.high |= byte << (8 * (7 - i));
            else
                key.low |= byte << (8 * (15 - i));
        }
        key.covered = std::uint8_t(i);
        key.whole = i == name.size();
        return key;
    }
};

// -1, 0 or 1 where the keys decide the order of their names; 2 where the names must be compared.
inline int compareKeys(const SortKey &a, const SortKey &b)
{
    int at = 0; // the first character in which the keys differ
    if (a.high != b.high)
        at = std::countl_zero(a.high ^ b.high) / 8;
    else if (a.low != b.low)
        at = 8 + std::countl_zero(a.low ^ b.low) / 8;
    else
        return 2;
    const bool inA = at < a.covered;
    const bool inB = at < b.covered;
    if (inA && inB) // both names have an ASCII character there, and they differ
        return (a.high != b.high ? a.high < b.high : a.low < b.low) ? -1 : 1;
    if (!inA && a.whole && inB) // a ends where b goes on
        return -1;
    if (!inB && b.whole && inA)
        return 1;
    return 2;
}

} // namespace

void sortEntries(std::vector<PaneEntry> &entries)
{
    if (entries.size() < 64 || entries.size() > std::numeric_limits<std::uint32_t>::max()) {
        std::sort(entries.begin(), entries.end(), entryLess);
        return;
    }
    // Sorting small keys that settle most comparisons, then moving each line once, is much
    // quicker than sorting the lines themselves by comparing their names in full.
    std::vector<SortKey> keys;
    keys.reserve(entries.size());
    for (size_t i = 0; i < entries.size(); ++i)
        keys.push_back(SortKey::of(entries[i].name, std::uint32_t(i)));
    std::sort(keys.begin(), keys.end(), [&entries](const SortKey &a, const SortKey &b) {
        const int byKey = compareKeys(a, b);
        return byKey == 2 ? entryLess(entries[a.index], entries[b.index]) : byKey < 0;
    });
    // Puts each line in its place by following the cycles of the permutation.
    std::vector<bool> placed(entries.size(), false);
    for (size_t start = 0; start < entries.size(); ++start) {
        if (placed[start])
            continue;
        PaneEntry held = std::move(entries[start]);
        size_t to = start;
        for (;;) {
            placed[to] = true;
            const size_t from = keys[to].index;
            if (from == start)
                break;
            entries[to] = std::move(entries[from]);
            to = from;
        }
        entries[to] = std::move(held);
    }
}

} // namespace dyadix

namespace dyadix {

QString displayName(const QString &name)
{
    QString shown;
    for (qsizetype i = 0; i < name.size(); ++i) {
        const char16_t u = name[i].unicode();
        if (u < 0x20) {
            if (shown.isNull())
                shown = name.left(i);
            shown.append(QChar(char16_t(0x2400 + u)));
        } else if (u == 0x7F) {
            if (shown.isNull())
                shown = name.left(i);
            shown.append(QChar(char16_t(0x2421)));
        } else if (QChar::isLowSurrogate(u) && (i == 0 || !name[i - 1].isHighSurrogate())) {
            if (shown.isNull())
                shown = name.left(i);
            shown.append(QChar(char16_t(0xFFFD)));
        } else if (!shown.isNull()) {
            shown.append(QChar(u));
        }
    }
    return shown.isNull() ? name : shown;
}

} // namespace dyadix
