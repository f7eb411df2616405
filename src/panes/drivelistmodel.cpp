#include "drivelistmodel.h"

#include <algorithm>

namespace dyadix {

DriveListModel::DriveListModel(FileSystem &fileSystem, QObject *parent)
    : QAbstractListModel(parent)
    , m_fileSystem(fileSystem)
    , m_volumes(fileSystem.volumes())
{
}

int DriveListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_volumes.size());
}

QVariant DriveListModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const Volume &volume = m_volumes[static_cast<size_t>(index.row())];
    switch (role) {
    case Qt::DisplayRole:
        if (volume.label.isEmpty() || volume.label == volume.rootPath
            || volume.rootPath.endsWith(volume.label + QLatin1Char('/')))
            return volume.rootPath;
        return volume.rootPath + QLatin1String(" [") + volume.label + QLatin1Char(']');
    case Qt::ToolTipRole:
    case RootRole:
        return volume.rootPath;
    }
    return {};
}

int DriveListModel::currentRow() const
{
    const auto found = std::find_if(m_volumes.begin(), m_volumes.end(),
                                    [&](const Volume &v) { return v.rootPath == m_drive; });
    return found == m_volumes.end() ? -1 : static_cast<int>(found - m_volumes.begin());
}

void DriveListModel::ensureListed(const QString &root)
{
    if (std::any_of(m_volumes.begin(), m_volumes.end(),
                    [&](const Volume &v) { return v.rootPath == root; }))
        return;
    const auto place = std::lower_bound(
        m_volumes.begin(), m_volumes.end(), root,
        [](const Volume &v, const QString &r) { return v.rootPath.compare(r, Qt::CaseInsensitive) < 0; });
    const int at = static_cast<int>(place - m_volumes.begin());
    beginInsertRows(QModelIndex(), at, at);
    m_volumes.insert(place, Volume {root, QString()});
    endInsertRows();
}

Status DriveListModel::setDrive(const QString &path)
{
    const Result<QString> root = m_fileSystem.volumeOf(path);
    if (!root)
        return root.error();
    ensureListed(*root);
    if (*root != m_drive) {
        m_drive = *root;
        emit driveChanged();
    }
    return {};
}

void DriveListModel::chooseRow(int row)
{
    if (row < 0 || row >= rowCount() || m_volumes[static_cast<size_t>(row)].rootPath == m_drive)
        return;
    m_drive = m_volumes[static_cast<size_t>(row)].rootPath;
    emit driveChanged();
}

void DriveListModel::Refresh()
{
    beginResetModel();
    m_volumes = m_fileSystem.volumes();
    endResetModel();
    if (!m_drive.isEmpty())
        ensureListed(m_drive);
}

} // namespace dyadix
