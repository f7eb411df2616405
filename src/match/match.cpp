#include "match.h"

#include <QHash>

#include <cstdlib>
#include <future>
#include <vector>

namespace dyadix {

namespace {

const QString OnlyHere = QStringLiteral("Only in this pane");
const QString SameTimeOtherSize = QStringLiteral("Same time, different size: compare by hand");
// Times on a FAT drive are kept to two seconds.
constexpr std::int64_t TimeGrain = 2;

// The whole hours (one or two) by which two times differ, give or take a drive's grain; else 0.
int wholeHoursApart(std::int64_t a, std::int64_t b)
{
    const std::int64_t apart = std::abs(a - b);
    for (int hours : {1, 2}) {
        if (std::abs(apart - hours * 3600) <= TimeGrain)
            return hours;
    }
    return 0;
}

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
    // Lines of the other list that this one lacks, by their indexes there, last first.
    std::vector<int> placeholders;
    FileListModel::Prepared ready;

    bool exhausted() const { return index < 0; }
    NameView name() const { return exhausted() ? NameView() : list.nameAt(index); }
    void tick(bool ticked, const QString &reason = QString()) { list.setSelected(index, ticked, reason); }
    void note(const QString &text, FileListModel::Note kind = FileListModel::Note::Plain) { list.setNote(index, text, kind); }
};

// What the other side could not read, as Match looks it up: case-folded, folders ending in "/".
class UnreadLookup
{
public:
    explicit UnreadLookup(const QStringList &paths)
    {
        for (const QString &path : paths)
            m_paths.insert(path.toCaseFolded(), path);
    }
    // The path that covers a name: the name itself, or a folder above it; empty for none.
    QString covering(NameView name) const
    {
        if (m_paths.isEmpty())
            return QString();
        const QString folded = name.toString().toCaseFolded();
        for (qsizetype slash = folded.indexOf(QLatin1Char('/')); slash != -1; slash = folded.indexOf(QLatin1Char('/'), slash + 1)) {
            if (const auto found = m_paths.constFind(folded.left(slash + 1)); found != m_paths.cend())
                return *found;
        }
        return m_paths.value(folded);
    }

private:
    QHash<QString, QString> m_paths;
};

QString unreadNote(const QString &path)
{
    return QStringLiteral("Not ticked: the other pane could not read ") + path;
}

} // namespace

QString hourShiftNote(int hours)
{
    return QStringLiteral("Times differ by exactly %1: a daylight-saving or time-zone shift?")
        .arg(amount(hours, "hour"));
}

QString tickReasonFor(std::int64_t mine, std::int64_t other)
{
    const std::int64_t difference = mine - other;
    if (difference >= 0)
        return QStringLiteral("Later than the other pane's copy by ") + spanText(difference);
    return QStringLiteral("Earlier than the other pane's copy by ") + spanText(-difference);
}

MatchCounts matchLists(FileListModel &left, FileListModel &right, MarkNewer markNewer,
                       Merging merging, const Unread &unread)
{
    MatchCounts counts;
    const UnreadLookup leftUnread(unread.left), rightUnread(unread.right);
    // A file on one side only, unless the other side could not read it.
    const auto tickOneSided = [](Side &side, const UnreadLookup &otherUnread) {
        if (const QString path = otherUnread.covering(side.name()); !path.isEmpty()) {
            side.tick(false);
            side.note(unreadNote(path));
        } else {
            side.tick(true, OnlyHere);
        }
    };
    Side l {left, left.ListCount() - 1, {}, {}};
    Side r {right, right.ListCount() - 1, {}, {}};
    // The ticks of the whole walk reach the views and the panes' selection status at its end.
    {
        FileListModel::TickBatch leftTicks(left), rightTicks(right);
        while (!l.exhausted() || !r.exhausted()) {
            const int byName = compareNameViews(l.name(), r.name());
            if (byName < 0) {
                tickOneSided(r, leftUnread);
                l.placeholders.push_back(r.index);
                --r.index;
                ++counts.onlyRight;
                continue;
            }
            if (byName > 0) {
                tickOneSided(l, rightUnread);
                r.placeholders.push_back(l.index);
                --l.index;
                ++counts.onlyLeft;
                continue;
            }
            const DateStamp leftDate = left.dateAt(l.index), rightDate = right.dateAt(r.index);
            const bool sameSize = left.sizeAt(l.index) == right.sizeAt(r.index);
            if (leftDate == rightDate) {
                l.tick(false);
                r.tick(false);
                // One time and two sizes: neither copy can be told the right one.
                if (!sameSize) {
                    l.note(SameTimeOtherSize, FileListModel::Note::Conflict);
                    r.note(SameTimeOtherSize, FileListModel::Note::Conflict);
                    ++counts.conflicts;
                }
            } else {
                const bool leftLater = leftDate > rightDate;
                const bool tickLeft = leftLater == (markNewer == MarkNewer::On);
                const std::int64_t leftTime = left.modifiedAt(l.index), rightTime = right.modifiedAt(r.index);
                // The same file an hour or two apart is most likely one clock read in two zones.
                const int hours = sameSize ? wholeHoursApart(leftTime, rightTime) : 0;
                Side &ticked = tickLeft ? l : r, &kept = tickLeft ? r : l;
                ticked.tick(true, hours != 0 ? hourShiftNote(hours)
                                  : tickLeft ? tickReasonFor(leftTime, rightTime) : tickReasonFor(rightTime, leftTime));
                kept.tick(false);
                if (hours != 0)
                    kept.note(hourShiftNote(hours));
            }
            --l.index;
            --r.index;
            ++counts.pairs;
        }
    }
    // The placeholders are made ready while neither list changes; then each list takes its own.
    l.ready = left.preparePlaceholders(right, l.placeholders);
    r.ready = right.preparePlaceholders(left, r.placeholders);
    std::future<void> rightMerged = std::async(
        merging == Merging::AtOnce ? std::launch::async : std::launch::deferred,
        [&right, &r] { right.addPrepared(std::move(r.ready)); });
    left.addPrepared(std::move(l.ready));
    rightMerged.get();
    return counts;
}

} // namespace dyadix
