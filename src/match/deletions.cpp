#include "deletions.h"

namespace dyadix {

namespace {

// Walks a record along list lines in the same order, finding each line's entry.
class RecordWalk
{
public:
    RecordWalk(const SyncRecord &record, NameRule names) : m_record(record), m_names(names) {}
    // The entry of a name, or none; `passed` hears each entry of a lower name, in turn.
    // Where case does not count, the name's entries in every case are one: the one of its
    // own case if there is one, else the first.
    const SyncRecord::Entry *find(NameView name, const std::function<void(std::size_t)> &passed = {})
    {
        while (m_at < m_record.size() && compare(m_record.nameAt(m_at), name) < 0) {
            if (passed)
                passed(m_at);
            ++m_at;
        }
        const SyncRecord::Entry *found = nullptr;
        for (; m_at < m_record.size() && compare(m_record.nameAt(m_at), name) == 0; ++m_at) {
            if (found == nullptr || compareNameViewsExactly(m_record.nameAt(m_at), name) == 0)
                found = &m_record.entryAt(m_at);
        }
        return found;
    }
    // The entries after the last name asked for.
    void rest(const std::function<void(std::size_t)> &passed)
    {
        for (; m_at < m_record.size(); ++m_at)
            passed(m_at);
    }

private:
    int compare(NameView a, NameView b) const { return m_names == NameRule::Exact ? SyncRecord::order(a, b) : compareNameViews(a, b); }
    const SyncRecord &m_record;
    NameRule m_names;
    std::size_t m_at = 0;
};

bool sameAs(const FileListModel &list, int row, const SyncRecord::Entry &entry)
{
    return list.dateAt(row) == entry.date && list.sizeAt(row) == entry.size;
}

// Whole hours (one or two) between a file's time and the recorded one, its size the same; else 0.
int hoursShifted(const FileListModel &list, int row, const SyncRecord::Entry &entry)
{
    if (list.sizeAt(row) != entry.size)
        return 0;
    const std::int64_t minutes = std::abs(minutesBetween(entry.date, list.dateAt(row)));
    return minutes == 60 ? 1 : minutes == 120 ? 2 : 0;
}

} // namespace

RecordCounts applyRecord(FileListModel &left, FileListModel &right, const SyncRecord &record, NameRule names)
{
    RecordCounts counts;
    RecordWalk walk(record, names);
    FileListModel::TickBatch leftTicks(left), rightTicks(right);
    const int lines = std::min(left.ListCount(), right.ListCount());
    for (int row = 0; row < lines; ++row) {
        const SyncRecord::Entry *entry = walk.find(left.nameAt(row));
        if (entry == nullptr)
            continue;
        const QString since = dateStampText(entry->since);
        const bool leftHere = !left.placeholderAt(row), rightHere = !right.placeholderAt(row);
        if (leftHere != rightHere) {
            FileListModel &here = leftHere ? left : right, &gone = leftHere ? right : left;
            // Unticked by Match (the other side was not read whole, a collision): left alone.
            if (!here.Selected(row) || !sameAs(here, row, *entry))
                continue;
            const QString note = (leftHere ? QStringLiteral("Deleted on the Right since ") : QStringLiteral("Deleted on the Left since ")) + since;
            here.setSelected(row, false);
            here.setNote(row, note);
            gone.setNote(row, note);
            ++counts.deleted;
            continue;
        }
        if (left.dateAt(row) == right.dateAt(row) && left.sizeAt(row) == right.sizeAt(row))
            continue;
        const bool leftSame = sameAs(left, row, *entry), rightSame = sameAs(right, row, *entry);
        // Whole hours to the minute since the record, and to the second between the sides.
        const std::int64_t apart = std::abs(left.modifiedAt(row) - right.modifiedAt(row));
        const bool wholeHours = std::abs(apart - 3600) <= 2 || std::abs(apart - 7200) <= 2;
        const int leftHours = wholeHours ? hoursShifted(left, row, *entry) : 0, rightHours = wholeHours ? hoursShifted(right, row, *entry) : 0;
        if ((leftSame && rightHours != 0) || (rightSame && leftHours != 0)) {
            const int hours = leftHours + rightHours;
            const QString note = QStringLiteral("Unchanged since ") + since + QStringLiteral(": its time moved by ")
                + (hours == 1 ? QStringLiteral("1 hour") : QStringLiteral("2 hours")) + QStringLiteral(" (daylight saving or a time zone)");
            left.setSelected(row, false), right.setSelected(row, false);
            left.setNote(row, note), right.setNote(row, note);
            ++counts.shifted;
        } else if (!leftSame && !rightSame && leftHours == 0 && rightHours == 0) {
            const QString note = QStringLiteral("Changed on both sides since ") + since;
            left.setSelected(row, false), right.setSelected(row, false);
            left.setNote(row, note, FileListModel::Note::Conflict), right.setNote(row, note, FileListModel::Note::Conflict);
            ++counts.conflicts;
        }
    }
    return counts;
}

SyncRecord recordAfterMatch(const FileListModel &left, const FileListModel &right, const SyncRecord &old, NameRule names,
                            DateStamp now, const std::function<bool(NameView)> &listed)
{
    SyncRecord record = old.emptyCopy();
    RecordWalk walk(old, names);
    // An old name that no line shows stays while the lists could not have shown it.
    const auto unseen = [&](std::size_t at) {
        if (!listed(old.nameAt(at)))
            record.append(old.nameAt(at), old.entryAt(at));
    };
    const int lines = std::min(left.ListCount(), right.ListCount());
    for (int row = 0; row < lines; ++row) {
        const NameView name = left.nameAt(row);
        const SyncRecord::Entry *entry = walk.find(name, unseen);
        if (!left.placeholderAt(row) && !right.placeholderAt(row) && left.dateAt(row) == right.dateAt(row)
            && left.sizeAt(row) == right.sizeAt(row))
            record.append(name, {left.dateAt(row), left.sizeAt(row), now});
        else if (entry != nullptr)
            record.append(name, *entry);
    }
    walk.rest(unseen);
    record.setWritten(now);
    return record;
}

} // namespace dyadix
