#include "filelistmodel.h"

#include <QColor>

#include <algorithm>

namespace dyadix {

namespace {
// What a change of a line's tick or note shows anew.
const QList<int> MarkRoles {Qt::CheckStateRole, Qt::ToolTipRole, Qt::AccessibleDescriptionRole,
                            Qt::BackgroundRole, Qt::ForegroundRole};
// A conflict's lines: amber behind black, apart from the statuses' green and grey; a failed
// file's: pale red.
const QColor ConflictColour(0xff, 0xd5, 0x80);
const QColor FailedColour(0xff, 0xb8, 0xb8);
} // namespace

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
    case Qt::AccessibleDescriptionRole:
        if ((line.mark & ReasonMask) != 0)
            return m_reasons[line.mark & ReasonMask];
        break;
    case Qt::BackgroundRole:
        if ((line.mark & ConflictMark) != 0)
            return ConflictColour;
        if ((line.mark & FailedMark) != 0)
            return FailedColour;
        break;
    case Qt::ForegroundRole:
        if ((line.mark & (ConflictMark | FailedMark)) != 0)
            return QColor(Qt::black);
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

std::uint32_t FileListModel::reasonIndexOf(const QString &reason)
{
    if (reason.isEmpty())
        return 0;
    // Reasons repeat ("Only in this pane", "Later than the other pane's copy by 1 day"): each
    // is kept once.
    auto known = m_reasonIndex.constFind(reason);
    if (known == m_reasonIndex.cend() && m_reasons.size() <= ReasonMask) {
        known = m_reasonIndex.insert(reason, std::uint32_t(m_reasons.size()));
        m_reasons.push_back(reason);
    }
    return known == m_reasonIndex.cend() ? 0 : *known;
}

void FileListModel::mark(int index, std::uint32_t mark)
{
    if (line(index).mark == (mark | (line(index).mark & LineStore::PlaceholderMark)))
        return;
    m_store.setMark(size_t(index), mark);
    if (m_batchDepth > 0) {
        m_batchFirst = m_batchFirst == -1 ? index : std::min(m_batchFirst, index);
        m_batchLast = std::max(m_batchLast, index);
    } else {
        emit dataChanged(this->index(index, NameColumn), this->index(index, SizeColumn), MarkRoles);
    }
}

void FileListModel::setSelected(int index, bool ticked, const QString &reason)
{
    if (index < 0 || index >= ListCount())
        return;
    m_selCount += int(ticked) - int(Selected(index));
    mark(index, (ticked ? TickMark : 0) | reasonIndexOf(ticked ? reason : QString()));
    if (m_batchDepth > 0)
        m_batchTicked = true;
    else
        emit ticksChanged();
}

void FileListModel::setNote(int index, const QString &note, Note kind)
{
    if (index >= 0 && index < ListCount())
        mark(index, (line(index).mark & TickMark) | (kind == Note::Conflict ? ConflictMark : 0)
                        | (kind == Note::Failed ? FailedMark : 0) | reasonIndexOf(note));
}

void FileListModel::endTickBatch()
{
    if (--m_batchDepth > 0)
        return;
    if (m_batchFirst != -1 && m_batchLast < ListCount())
        emit dataChanged(index(m_batchFirst, NameColumn), index(m_batchLast, SizeColumn), MarkRoles);
    m_batchFirst = m_batchLast = -1;
    if (std::exchange(m_batchTicked, false))
        emit ticksChanged();
}

} // namespace dyadix
