#include "filelistmodel.h"

#include <QScopedValueRollback>

#include <algorithm>

namespace dyadix {

FileListModel::FileListModel(QObject *parent)
    : QAbstractTableModel(parent)
{
}

int FileListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ListCount();
}

int FileListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant FileListModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const Line &line = m_lines[size_t(index.row())];
    const bool ticked = (line.mark & TickMark) != 0;
    const bool placeholder = (line.mark & PlaceholderMark) != 0;
    switch (role) {
    case Qt::DisplayRole:
        switch (index.column()) {
        case NameColumn:
            return displayName(nameOf(line).toString());
        case DateColumn:
            return placeholder ? QString() : dateStampText(line.date);
        case SizeColumn:
            return placeholder ? QString() : QString::number(line.size);
        }
        break;
    case Qt::CheckStateRole:
        if (index.column() == NameColumn)
            return ticked ? Qt::Checked : Qt::Unchecked;
        break;
    case Qt::TextAlignmentRole:
        if (index.column() == SizeColumn)
            return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
        return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
    case Qt::ToolTipRole:
        if (ticked && (line.mark & ReasonMask) != 0)
            return m_reasons[line.mark & ReasonMask];
        break;
    case LineTextRole:
        return List(index.row());
    case NameRole:
        return nameOf(line).toString();
    case PlaceholderRole:
        return placeholder;
    }
    return {};
}

bool FileListModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != Qt::CheckStateRole
        || !checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return false;
    setSelected(index.row(), value.value<Qt::CheckState>() == Qt::Checked);
    return true;
}

QVariant FileListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case NameColumn:
        return QStringLiteral("Name");
    case DateColumn:
        return QStringLiteral("Date");
    case SizeColumn:
        return QStringLiteral("Size");
    }
    return {};
}

Qt::ItemFlags FileListModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    if (index.column() == NameColumn)
        flags |= Qt::ItemIsUserCheckable;
    return flags;
}

PaneEntry FileListModel::entry(int index) const
{
    const Line &line = m_lines.at(size_t(index));
    return PaneEntry {nameOf(line).toString(), line.date, line.size, (line.mark & PlaceholderMark) != 0,
                      line.modified};
}

void FileListModel::appendLine(QString &text, int index) const
{
    const Line &line = m_lines.at(size_t(index));
    appendLineText(text, nameOf(line), line.date, line.size, (line.mark & PlaceholderMark) != 0);
}

std::int64_t FileListModel::largestSize() const
{
    if (!m_largestKnown) {
        m_largest = 0;
        for (const Line &line : m_lines)
            m_largest = std::max(m_largest, line.size);
        m_largestKnown = true;
    }
    return m_largest;
}

FileListModel::Line FileListModel::lineOf(const PaneEntry &entry)
{
    Line line;
    line.nameAt = m_names.add(entry.name);
    line.nameLength = std::uint32_t(entry.name.size());
    line.mark = entry.placeholder ? PlaceholderMark : 0;
    line.size = entry.size;
    line.modified = entry.modified;
    line.date = entry.date;
    return line;
}

// The order of entryLess, on the lines as they are kept.
bool FileListModel::lineLess(const Line &a, const Line &b) const
{
    const NameView aName = nameOf(a), bName = nameOf(b);
    if (const int byName = compareNameViews(aName, bName); byName != 0)
        return byName < 0;
    if (a.date != b.date)
        return a.date < b.date;
    if (a.size != b.size)
        return a.size < b.size;
    const bool aPlaceholder = (a.mark & PlaceholderMark) != 0, bPlaceholder = (b.mark & PlaceholderMark) != 0;
    if (aPlaceholder != bPlaceholder)
        return aPlaceholder;
    return compareNameViewsExactly(aName, bName) < 0;
}

void FileListModel::AddItem(PaneEntry entry)
{
    insertSorted({lineOf(entry)});
}

void FileListModel::addItems(std::vector<PaneEntry> entries)
{
    if (entries.empty())
        return;
    if (std::is_sorted(entries.rbegin(), entries.rend(), entryLess))
        std::reverse(entries.begin(), entries.end());
    else if (!std::is_sorted(entries.begin(), entries.end(), entryLess))
        sortEntries(entries);
    std::vector<Line> lines;
    lines.reserve(entries.size());
    for (PaneEntry &entry : entries) {
        lines.push_back(lineOf(entry));
        entry.name = QString(); // the name now lives in the list's blocks
    }
    entries = {};
    insertSorted(std::move(lines));
}

FileListModel::Prepared FileListModel::preparePlaceholders(const FileListModel &other,
                                                          const std::vector<int> &rows)
{
    // The names stay where the other list keeps them: its blocks are shared, not copied.
    Prepared prepared;
    std::vector<NameRef> &names = prepared.names;
    names.reserve(rows.size());
    const std::uint64_t shift = rows.empty() ? 0 : m_names.adopt(other.m_names);
    for (const int row : rows) {
        const Line &theirs = other.m_lines.at(size_t(row));
        names.push_back({theirs.nameAt + shift, theirs.nameLength});
    }
    const auto less = [this](const NameRef &a, const NameRef &b) {
        return lineLess(placeholderLine(a), placeholderLine(b));
    };
    if (std::is_sorted(names.rbegin(), names.rend(), less))
        std::reverse(names.begin(), names.end());
    else if (!std::is_sorted(names.begin(), names.end(), less))
        std::stable_sort(names.begin(), names.end(), less);
    return prepared;
}

void FileListModel::addPrepared(Prepared prepared)
{
    const std::vector<NameRef> &names = prepared.names;
    mergeLines(names.size(), [this, &names](size_t k) { return placeholderLine(names[k]); });
}

void FileListModel::insertSorted(std::vector<Line> lines)
{
    if (m_lines.empty() && !lines.empty()) {
        noteWidest(lines.size(), [&lines](size_t k) -> const Line & { return lines[k]; });
        beginInsertRows(QModelIndex(), 0, static_cast<int>(lines.size()) - 1);
        m_lines = std::move(lines);
        endInsertRows();
        return;
    }
    mergeLines(lines.size(), [&lines](size_t k) -> const Line & { return lines[k]; });
}

template<typename LineAt>
void FileListModel::noteWidest(size_t added, const LineAt &lineAt)
{
    if (m_largestKnown) {
        for (size_t k = 0; k < added; ++k)
            m_largest = std::max(m_largest, lineAt(k).size);
    }
    constexpr size_t LongNames = 8;
    for (size_t k = 0; k < added; ++k) {
        const Line &line = lineAt(k);
        if (m_longestNames.size() == LongNames && line.nameLength <= m_longestNames.back().size())
            continue;
        const QString name = nameOf(line).toString();
        const auto place = std::upper_bound(m_longestNames.begin(), m_longestNames.end(), name,
                                            [](const QString &a, const QString &b) { return a.size() > b.size(); });
        m_longestNames.insert(place, name);
        if (m_longestNames.size() > LongNames)
            m_longestNames.pop_back();
    }
}

// Puts `added` sorted lines, the k-th given by lineAt(k), at their places.
template<typename LineAt>
void FileListModel::mergeLines(size_t added, const LineAt &lineAt)
{
    if (added == 0)
        return;
    noteWidest(added, lineAt);
    const size_t oldCount = m_lines.size();
    // The list grows by a quarter at least, not by doubling: at a million lines the unused
    // room would weigh as much as the names.
    if (m_lines.capacity() < oldCount + added)
        m_lines.reserve(std::max(oldCount + added, m_lines.capacity() + m_lines.capacity() / 4));
    // Lines that all come after the list's (a tree listed in order) are appended.
    if (oldCount == 0 || !lineLess(lineAt(0), m_lines.back())) {
        beginInsertRows(QModelIndex(), static_cast<int>(oldCount), static_cast<int>(oldCount + added) - 1);
        for (size_t k = 0; k < added; ++k)
            m_lines.push_back(lineAt(k));
        endInsertRows();
        return;
    }
    // One line goes in at its place.
    if (added == 1) {
        const auto place = std::upper_bound(m_lines.begin(), m_lines.end(), lineAt(0),
                                            [this](const Line &a, const Line &b) { return lineLess(a, b); });
        const int at = static_cast<int>(place - m_lines.begin());
        beginInsertRows(QModelIndex(), at, at);
        m_lines.insert(place, lineAt(0));
        endInsertRows();
        return;
    }
    // Merged in place from the back, so that no second copy of the list is made.
    beginResetModel();
    m_lines.resize(oldCount + added);
    size_t to = oldCount + added;
    size_t from = oldCount;
    size_t next = added;
    while (next > 0) {
        --to;
        if (from > 0 && lineLess(lineAt(next - 1), m_lines[from - 1]))
            m_lines[to] = m_lines[--from];
        else
            m_lines[to] = lineAt(--next);
    }
    endResetModel();
}

void FileListModel::RemoveItem(int index)
{
    if (index < 0 || index >= ListCount())
        return;
    const auto at = static_cast<std::ptrdiff_t>(index);
    const bool ticked = Selected(index);
    if (m_lines[size_t(index)].size == m_largest)
        m_largestKnown = false;
    beginRemoveRows(QModelIndex(), index, index);
    m_lines.erase(m_lines.begin() + at);
    endRemoveRows();
    if (ticked)
        --m_selCount;
}

void FileListModel::Clear()
{
    beginResetModel();
    m_lines = {};
    m_names.clear();
    m_reasons.assign(1, QString());
    m_reasonIndex.clear();
    m_longestNames.clear();
    m_largest = 0;
    m_largestKnown = true;
    m_selCount = 0;
    m_topIndex = 0;
    endResetModel();
}

void FileListModel::setSelected(int index, bool ticked, const QString &reason)
{
    if (index < 0 || index >= ListCount())
        return;
    Line &line = m_lines[size_t(index)];
    const bool wasTicked = (line.mark & TickMark) != 0;
    const QString &oldReason = m_reasons[line.mark & ReasonMask];
    const QString newReason = ticked ? reason : QString();
    if (wasTicked != ticked || oldReason != newReason) {
        m_selCount += int(ticked) - int(wasTicked);
        std::uint32_t reasonIndex = 0;
        if (!newReason.isEmpty()) {
            // Reasons repeat ("Only in this pane", "Later than the other pane's copy by 1
            // day"): each is kept once.
            auto known = m_reasonIndex.constFind(newReason);
            if (known == m_reasonIndex.cend() && m_reasons.size() <= ReasonMask) {
                known = m_reasonIndex.insert(newReason, std::uint32_t(m_reasons.size()));
                m_reasons.push_back(newReason);
            }
            reasonIndex = known == m_reasonIndex.cend() ? 0 : *known;
        }
        line.mark = (line.mark & PlaceholderMark) | (ticked ? TickMark : 0) | reasonIndex;
        if (m_batchDepth > 0) {
            m_batchFirst = m_batchFirst == -1 ? index : std::min(m_batchFirst, index);
            m_batchLast = std::max(m_batchLast, index);
        } else {
            static const QList<int> roles {Qt::CheckStateRole, Qt::ToolTipRole};
            emit dataChanged(this->index(index, NameColumn), this->index(index, SizeColumn), roles);
        }
    }
    if (m_batchDepth > 0)
        m_batchTicked = true;
    else
        emit ticksChanged();
}

void FileListModel::endTickBatch()
{
    if (--m_batchDepth > 0)
        return;
    if (m_batchFirst != -1 && m_batchLast < ListCount()) {
        static const QList<int> roles {Qt::CheckStateRole, Qt::ToolTipRole};
        emit dataChanged(index(m_batchFirst, NameColumn), index(m_batchLast, SizeColumn), roles);
    }
    m_batchFirst = m_batchLast = -1;
    if (std::exchange(m_batchTicked, false))
        emit ticksChanged();
}

bool FileListModel::setTopIndex(int index)
{
    if (index < 0 || index >= ListCount())
        return false;
    m_topIndex = index;
    // The view's answer to a position set here is not a user's scroll.
    const QScopedValueRollback<bool> settling(m_settingTopIndex, true);
    emit topIndexRequested(index);
    return true;
}

void FileListModel::viewScrolled(int topIndex)
{
    if (topIndex == m_topIndex)
        return;
    m_topIndex = topIndex;
    if (!m_settingTopIndex)
        emit scrolled();
}

} // namespace dyadix
