#include "filelistmodel.h"

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
    const LineStore::Line &line = this->line(index.row());
    const bool ticked = (line.mark & TickMark) != 0;
    const bool placeholder = (line.mark & LineStore::PlaceholderMark) != 0;
    switch (role) {
    case Qt::DisplayRole:
        switch (index.column()) {
        case NameColumn:
            return displayName(m_store.nameOf(line).toString());
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

void FileListModel::RemoveItem(int index)
{
    if (index < 0 || index >= ListCount())
        return;
    const bool ticked = Selected(index);
    beginRemoveRows(QModelIndex(), index, index);
    m_store.remove(size_t(index));
    endRemoveRows();
    if (ticked)
        --m_selCount;
}

void FileListModel::Clear()
{
    beginResetModel();
    m_store.clear();
    m_reasons.assign(1, QString());
    m_reasonIndex.clear();
    m_selCount = 0;
    m_scroll.reset();
    endResetModel();
}

void FileListModel::setSelected(int index, bool ticked, const QString &reason)
{
    if (index < 0 || index >= ListCount())
        return;
    const LineStore::Line &line = this->line(index);
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
        m_store.setMark(size_t(index), (ticked ? TickMark : 0) | reasonIndex);
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

} // namespace dyadix
