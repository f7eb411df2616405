#include "match.h"

#include <QHash>

#include <cstdlib>
#include <optional>
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
    // The path that covers a name: the name itself, a folder above it, or (empty) the whole
    // folder; nothing for none.
    std::optional<QString> covering(NameView name) const
    {
        if (m_paths.isEmpty())
            return std::nullopt;
        if (m_paths.contains(QString()))
            return QString();
        const QString folded = name.toString().toCaseFolded();
        for (qsizetype slash = folded.indexOf(QLatin1Char('/')); slash != -1; slash = folded.indexOf(QLatin1Char('/'), slash + 1)) {
            if (const auto found = m_paths.constFind(folded.left(slash + 1)); found != m_paths.cend())
                return *found;
        }
        if (const auto found = m_paths.constFind(folded); found != m_paths.cend())
            return *found;
        return std::nullopt;
    }

private:
    QHash<QString, QString> m_paths;
};

QString unreadNote(const QString &path)
{
    return path.isEmpty() ? QStringLiteral("Not ticked: the other pane's folder was not read whole")
                          : QStringLiteral("Not ticked: the other pane could not read ") + path;
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

namespace {

// Ticks the copy to carry over of a pair, or neither, with the reasons and notes.
void decidePair(Side &l, Side &r, MarkNewer markNewer, MatchCounts &counts)
{
    FileListModel &left = l.list, &right = r.list;
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
        return;
    }
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

// The names beside a line, itself included, that are one name but for case; one for none.
QStringList caseTwins(const FileListModel &list, int index)
{
    int first = index, last = index;
    while (first > 0 && compareNameViews(list.nameAt(first - 1), list.nameAt(index)) == 0)
        --first;
    while (last + 1 < list.ListCount() && compareNameViews(list.nameAt(last + 1), list.nameAt(index)) == 0)
        ++last;
    QStringList names;
    for (int i = first; i <= last; ++i)
        names << list.nameAt(i).toString();
    return names;
}

bool hasNonAscii(NameView name)
{
    for (qsizetype i = 0; i < name.size; ++i) {
        if ((name.wide ? name.utf16()[i] : name.bytes()[i]) >= 0x80)
            return true;
    }
    return false;
}

// A name as Match pairs names of other Unicode forms: composed, and folded where case does not count.
QString formKey(NameView name, NameRule names)
{
    const QString composed = name.toString().normalized(QString::NormalizationForm_C);
    return names == NameRule::IgnoreCase ? composed.toCaseFolded() : composed;
}

} // namespace

MatchCounts matchLists(FileListModel &left, FileListModel &right, MarkNewer markNewer,
                       Merging merging, const Unread &unread, NameRule names)
{
    MatchCounts counts;
    const UnreadLookup leftUnread(unread.left), rightUnread(unread.right);
    // Two names on one side that the other would take for one are neither copied nor paired.
    const auto collision = [names](const Side &side) {
        const QStringList twins = names == NameRule::Exact ? QStringList() : caseTwins(side.list, side.index);
        return twins.size() < 2 ? QString()
                                : QStringLiteral("Not ticked: ") + twins.join(QStringLiteral(" and "))
                                      + QStringLiteral(" are one name where case is not told apart");
    };
    const auto collides = [&](Side &side) {
        const QString note = collision(side);
        if (note.isEmpty())
            return false;
        side.tick(false);
        side.note(note, FileListModel::Note::Conflict);
        return true;
    };
    // A file on one side only, unless the other side could not read it. Names in another
    // script are kept to be paired across Unicode forms after the walk.
    std::vector<int> looseLeft, looseRight;
    const auto tickOneSided = [&](Side &side, const UnreadLookup &otherUnread, std::vector<int> &loose) {
        if (collides(side))
            return;
        if (const std::optional<QString> path = otherUnread.covering(side.name())) {
            side.tick(false);
            side.note(unreadNote(*path));
            return;
        }
        side.tick(true, OnlyHere);
        if (hasNonAscii(side.name()))
            loose.push_back(side.index);
    };
    Side l {left, left.ListCount() - 1, {}, {}};
    Side r {right, right.ListCount() - 1, {}, {}};
    // The ticks of the whole walk reach the views and the panes' selection status at its end.
    {
        FileListModel::TickBatch leftTicks(left), rightTicks(right);
        while (!l.exhausted() || !r.exhausted()) {
            int byName = compareNameViews(l.name(), r.name());
            if (byName == 0 && names == NameRule::Exact)
                byName = compareNameViewsExactly(l.name(), r.name());
            if (byName < 0) {
                tickOneSided(r, leftUnread, looseRight);
                l.placeholders.push_back(r.index);
                --r.index;
                ++counts.onlyRight;
                continue;
            }
            if (byName > 0) {
                tickOneSided(l, rightUnread, looseLeft);
                r.placeholders.push_back(l.index);
                --l.index;
                ++counts.onlyLeft;
                continue;
            }
            if (const QString note = collision(l).isEmpty() ? collision(r) : collision(l); !note.isEmpty()) {
                for (Side *side : {&l, &r}) {
                    side->tick(false);
                    side->note(note, FileListModel::Note::Conflict);
                }
            } else {
                decidePair(l, r, markNewer, counts);
            }
            --l.index;
            --r.index;
            ++counts.pairs;
        }
        // One name written in two Unicode forms (composed on one system, decomposed on another)
        // sorts apart: such files on one side only are paired here; both keep the other's
        // placeholder, so that the lists still hold the same names line for line.
        if (!looseLeft.empty() && !looseRight.empty()) {
            QHash<QString, int> byForm;
            for (int index : looseLeft)
                byForm.insert(formKey(left.nameAt(index), names), index);
            for (int index : looseRight) {
                const auto found = byForm.constFind(formKey(right.nameAt(index), names));
                if (found == byForm.cend())
                    continue;
                Side paired {left, *found, {}, {}}, other {right, index, {}, {}};
                decidePair(paired, other, markNewer, counts);
                byForm.erase(found);
                --counts.onlyLeft, --counts.onlyRight, ++counts.pairs;
            }
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
