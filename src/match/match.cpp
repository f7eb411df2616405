#include "match.h"

#include <cstdlib>
#include <future>
#include <vector>

namespace dyadix {

namespace {

const QString OnlyHere = QStringLiteral("Only in this pane");

QString amount(std::int64_t value, const char *unit)
{
    return QString::number(value) + QLatin1Char(' ') + QLatin1String(unit)
        + (value == 1 ? QString() : QStringLiteral("s"));
}

QString spanText(std::int64_t seconds)
{
    const std::int64_t minutes = (seconds + 30) / 60;
    if (minutes < 60)
        return amount(std::max<std::int64_t>(minutes, 1), "minute");
    const std::int64_t hours = (minutes + 30) / 60;
    if (hours < 48)
        return amount(hours, "hour");
    return amount((hours + 12) / 24, "day");
}

struct Side
{
    FileListModel &list;
    int index;
    std::vector<PaneEntry> placeholders;

    bool exhausted() const { return index < 0; }
    const PaneEntry *current() const { return exhausted() ? nullptr : &list.entry(index); }
    void tick(bool ticked, const QString &reason = QString()) { list.setSelected(index, ticked, reason); }
};

} // namespace

QString tickReasonFor(std::int64_t mine, std::int64_t other)
{
    const std::int64_t difference = mine - other;
    if (difference >= 0)
        return QStringLiteral("Later than the other pane's copy by ") + spanText(difference);
    return QStringLiteral("Earlier than the other pane's copy by ") + spanText(-difference);
}

MatchCounts matchLists(FileListModel &left, FileListModel &right, MarkNewer markNewer,
                       Merging merging)
{
    MatchCounts counts;
    Side l {left, left.ListCount() - 1, {}};
    Side r {right, right.ListCount() - 1, {}};
    static const QString none;
    while (!l.exhausted() || !r.exhausted()) {
        const PaneEntry *leftEntry = l.current();
        const PaneEntry *rightEntry = r.current();
        const QString &leftName = leftEntry ? leftEntry->name : none;
        const QString &rightName = rightEntry ? rightEntry->name : none;
        const int byName = compareNames(leftName, rightName);
        if (byName < 0) {
            r.tick(true, OnlyHere);
            l.placeholders.push_back(PaneEntry::placeholderFor(rightName));
            --r.index;
            ++counts.onlyRight;
            continue;
        }
        if (byName > 0) {
            l.tick(true, OnlyHere);
            r.placeholders.push_back(PaneEntry::placeholderFor(leftName));
            --l.index;
            ++counts.onlyLeft;
            continue;
        }
        const int byDate = QStringView(leftEntry->dateText).compare(rightEntry->dateText,
                                                                    Qt::CaseInsensitive);
        if (byDate == 0) {
            l.tick(false);
            r.tick(false);
        } else {
            const bool leftLater = byDate > 0;
            const bool tickLeft = leftLater == (markNewer == MarkNewer::On);
            const std::int64_t leftTime = leftEntry->modified, rightTime = rightEntry->modified;
            if (tickLeft) {
                l.tick(true, tickReasonFor(leftTime, rightTime));
                r.tick(false);
            } else {
                l.tick(false);
                r.tick(true, tickReasonFor(rightTime, leftTime));
            }
        }
        --l.index;
        --r.index;
        ++counts.pairs;
    }
    std::future<void> rightMerged = std::async(
        merging == Merging::AtOnce ? std::launch::async : std::launch::deferred,
        [&right, &r] { right.addItems(std::move(r.placeholders)); });
    left.addItems(std::move(l.placeholders));
    rightMerged.get();
    return counts;
}

} // namespace dyadix
