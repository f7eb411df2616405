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
    const size_t row = static_cast<size_t>(index.row());
    const PaneEntry &entry = m_entries[row];
    const bool ticked = m_ticks[row] != 0;
    switch (role) {
    case Qt::DisplayRole:
        switch (index.column()) {
        case NameColumn:
            return displayName(entry.name);
        case DateColumn:
            return entry.dateText;
        case SizeColumn:
            return entry.placeholder ? QString() : QString::number(entry.size);
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
        if (ticked && m_reasonOf[row] != 0)
            return m_reasons[m_reasonOf[row]];
        break;
    case LineTextRole:
        return entry.text();
    case NameRole:
        return entry.name;
    case PlaceholderRole:
        return entry.placeholder;
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

void FileListModel::AddItem(PaneEntry entry)
{
    const auto place = std::upper_bound(m_entries.begin(), m_entries.end(), entry, entryLess);
    const auto at = place - m_entries.begin();
    beginInsertRows(QModelIndex(), static_cast<int>(at), static_cast<int>(at));
    m_entries.insert(place, std::move(entry));
    m_ticks.insert(m_ticks.begin() + at, 0);
    m_reasonOf.insert(m_reasonOf.begin() + at, 0);
    endInsertRows();
}

void FileListModel::addItems(std::vector<PaneEntry> entries)
{
    if (entries.empty())
        return;
    if (std::is_sorted(entries.rbegin(), entries.rend(), entryLess))
        std::reverse(entries.begin(), entries.end());
    else if (!std::is_sorted(entries.begin(), entries.end(), entryLess))
        sortEntries(entries);
    const size_t added = entries.size();
    if (m_entries.empty()) {
        beginInsertRows(QModelIndex(), 0, static_cast<int>(added) - 1);
        m_entries = std::move(entries);
        m_ticks.assign(added, 0);
        m_reasonOf.assign(added, 0);
        endInsertRows();
        return;
    }
    // Lines that all come after the list's (a tree listed in order) are appended.
    if (!entryLess(entries.front(), m_entries.back())) {
        const size_t oldCount = m_entries.size();
        beginInsertRows(QModelIndex(), static_cast<int>(oldCount), static_cast<int>(oldCount + added) - 1);
        m_entries.insert(m_entries.end(), std::make_move_iterator(entries.begin()), std::make_move_iterator(entries.end()));
        m_ticks.resize(oldCount + added, 0);
        m_reasonOf.resize(oldCount + added, 0);
        endInsertRows();
        return;
    }
    // Merged in place from the back, so that no second copy of the list is made.
    beginResetModel();
    const size_t oldCount = m_entries.size();
    m_entries.resize(oldCount + added);
    m_ticks.resize(oldCount + added);
    m_reasonOf.resize(oldCount + added);
    size_t to = oldCount + added;
    size_t from = oldCount;
    size_t next = added;
    while (next > 0) {
        --to;
        if (from > 0 && entryLess(entries[next - 1], m_entries[from - 1])) {
            --from;
            m_entries[to] = std::move(m_entries[from]);
            m_ticks[to] = m_ticks[from];
            m_reasonOf[to] = m_reasonOf[from];
        } else {
            --next;
            m_entries[to] = std::move(entries[next]);
            m_ticks[to] = 0;
            m_reasonOf[to] = 0;
        }
    }
    endResetModel();
}

void FileListModel::RemoveItem(int index)
{
    if (index < 0 || index >= ListCount())
        return;
    const auto at = static_cast<std::ptrdiff_t>(index);
    const bool ticked = m_ticks[static_cast<size_t>(index)] != 0;
    beginRemoveRows(QModelIndex(), index, index);
    m_entries.erase(m_entries.begin() + at);
    m_ticks.erase(m_ticks.begin() + at);
    m_reasonOf.erase(m_reasonOf.begin() + at);
    endRemoveRows();
    if (ticked)
        --m_selCount;
}

void FileListModel::Clear()
{
    beginResetModel();
    m_entries.clear();
    m_ticks.clear();
    m_reasonOf.clear();
    m_reasons.assign(1, QString());
    m_selCount = 0;
    m_topIndex = 0;
    endResetModel();
}

void FileListModel::setSelected(int index, bool ticked, const QString &reason)
{
    if (index < 0 || index >= ListCount())
        return;
    const auto row = static_cast<size_t>(index);
    const QString &oldReason = m_reasons[m_reasonOf[row]];
    const QString newReason = ticked ? reason : QString();
    if ((m_ticks[row] != 0) != ticked || oldReason != newReason) {
        m_selCount += int(ticked) - int(m_ticks[row] != 0);
        m_ticks[row] = ticked ? 1 : 0;
        if (newReason.isEmpty()) {
            m_reasonOf[row] = 0;
        } else {
            // Reasons repeat ("Only in this pane"): the last one stored is reused.
            if (m_reasons.back() != newReason)
                m_reasons.push_back(newReason);
            m_reasonOf[row] = static_cast<std::uint32_t>(m_reasons.size() - 1);
        }
        static const QList<int> roles {Qt::CheckStateRole, Qt::ToolTipRole};
        emit dataChanged(this->index(index, NameColumn), this->index(index, SizeColumn), roles);
    }
    emit ticksChanged();
}

QString FileListModel::tickReason(int index) const
{
    if (index < 0 || index >= ListCount() || m_ticks[static_cast<size_t>(index)] == 0)
        return QString();
    return m_reasons[m_reasonOf[static_cast<size_t>(index)]];
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
