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
    const Row &row = m_rows[static_cast<size_t>(index.row())];
    switch (role) {
    case Qt::DisplayRole:
        switch (index.column()) {
        case NameColumn:
            return displayName(row.entry.name);
        case DateColumn:
            return row.entry.dateText;
        case SizeColumn:
            return row.entry.placeholder ? QString() : QString::number(row.entry.size);
        }
        break;
    case Qt::CheckStateRole:
        if (index.column() == NameColumn)
            return row.ticked ? Qt::Checked : Qt::Unchecked;
        break;
    case Qt::TextAlignmentRole:
        if (index.column() == SizeColumn)
            return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
        return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
    case Qt::ToolTipRole:
        if (row.ticked && !row.reason.isEmpty())
            return row.reason;
        break;
    case LineTextRole:
        return row.entry.text();
    case NameRole:
        return row.entry.name;
    case PlaceholderRole:
        return row.entry.placeholder;
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
    const auto place = std::upper_bound(
        m_rows.begin(), m_rows.end(), entry,
        [](const PaneEntry &value, const Row &row) { return entryLess(value, row.entry); });
    const int at = static_cast<int>(place - m_rows.begin());
    beginInsertRows(QModelIndex(), at, at);
    m_rows.insert(place, Row {std::move(entry), false, {}});
    endInsertRows();
}

void FileListModel::addItems(std::vector<PaneEntry> entries)
{
    if (entries.empty())
        return;
    if (std::is_sorted(entries.rbegin(), entries.rend(), entryLess))
        std::reverse(entries.begin(), entries.end());
    else if (!std::is_sorted(entries.begin(), entries.end(), entryLess))
        std::sort(entries.begin(), entries.end(), entryLess);
    if (m_rows.empty()) {
        beginInsertRows(QModelIndex(), 0, static_cast<int>(entries.size()) - 1);
        m_rows.reserve(entries.size());
        for (PaneEntry &entry : entries)
            m_rows.push_back(Row {std::move(entry), false, {}});
        endInsertRows();
        return;
    }
    // Merged in place from the back, so that no second copy of the list is made.
    beginResetModel();
    const size_t oldCount = m_rows.size();
    m_rows.resize(oldCount + entries.size());
    auto to = m_rows.rbegin();
    auto from = m_rows.rbegin() + static_cast<std::ptrdiff_t>(entries.size());
    auto next = entries.rbegin();
    while (next != entries.rend()) {
        if (from != m_rows.rend() && entryLess(*next, from->entry))
            *to++ = std::move(*from++);
        else
            *to++ = Row {std::move(*next++), false, {}};
    }
    endResetModel();
}

void FileListModel::RemoveItem(int index)
{
    if (index < 0 || index >= ListCount())
        return;
    const bool ticked = m_rows[static_cast<size_t>(index)].ticked;
    beginRemoveRows(QModelIndex(), index, index);
    m_rows.erase(m_rows.begin() + index);
    endRemoveRows();
    if (ticked)
        --m_selCount;
}

void FileListModel::Clear()
{
    beginResetModel();
    m_rows.clear();
    m_selCount = 0;
    m_topIndex = 0;
    endResetModel();
}

void FileListModel::setSelected(int index, bool ticked, const QString &reason)
{
    if (index < 0 || index >= ListCount())
        return;
    Row &row = m_rows[static_cast<size_t>(index)];
    const QString newReason = ticked ? reason : QString();
    if (row.ticked != ticked || row.reason != newReason) {
        m_selCount += int(ticked) - int(row.ticked);
        row.ticked = ticked;
        row.reason = newReason;
        static const QList<int> roles {Qt::CheckStateRole, Qt::ToolTipRole};
        emit dataChanged(this->index(index, NameColumn), this->index(index, SizeColumn), roles);
    }
    emit ticksChanged();
}

QString FileListModel::tickReason(int index) const
{
    if (index < 0 || index >= ListCount() || !m_rows[static_cast<size_t>(index)].ticked)
        return QString();
    return m_rows[static_cast<size_t>(index)].reason;
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
