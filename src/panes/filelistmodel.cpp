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
    std::sort(entries.begin(), entries.end(), entryLess);
    std::vector<Row> merged;
    merged.reserve(m_rows.size() + entries.size());
    auto next = entries.begin();
    for (Row &row : m_rows) {
        while (next != entries.end() && entryLess(*next, row.entry))
            merged.push_back(Row {std::move(*next++), false, {}});
        merged.push_back(std::move(row));
    }
    for (; next != entries.end(); ++next)
        merged.push_back(Row {std::move(*next), false, {}});

    if (m_rows.empty()) {
        beginInsertRows(QModelIndex(), 0, static_cast<int>(merged.size()) - 1);
        m_rows = std::move(merged);
        endInsertRows();
        return;
    }
    beginResetModel();
    m_rows = std::move(merged);
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

void FileListModel::setSelected(int index, bool ticked)
{
    if (index < 0 || index >= ListCount())
        return;
    Row &row = m_rows[static_cast<size_t>(index)];
    if (row.ticked != ticked) {
        row.ticked = ticked;
        row.reason.clear();
        m_selCount += ticked ? 1 : -1;
        const QModelIndex changed = this->index(index, NameColumn);
        emit dataChanged(changed, changed, {Qt::CheckStateRole});
    }
    emit ticksChanged();
}

void FileListModel::setTickReason(int index, const QString &reason)
{
    if (index < 0 || index >= ListCount())
        return;
    m_rows[static_cast<size_t>(index)].reason = reason;
    const QModelIndex changed = this->index(index, NameColumn);
    emit dataChanged(changed, this->index(index, SizeColumn), {Qt::ToolTipRole});
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
