#include "dirlistmodel.h"

#include <QDir>

namespace dyadix {

DirListModel::DirListModel(FileSystem &fileSystem, QObject *parent)
    : QAbstractListModel(parent)
    , m_fileSystem(fileSystem)
{
}

int DirListModel::rowCount(const QModelIndex &parent) const
{
    if (parent.isValid())
        return 0;
    loadChildren();
    return static_cast<int>(m_rows.size());
}

void DirListModel::loadChildren() const
{
    if (m_childrenLoaded)
        return;
    m_childrenLoaded = true;
    const int depth = m_rows.empty() ? 0 : m_rows.back().depth;
    if (Result<QStringList> children = m_fileSystem.subfolders(m_path)) {
        for (const QString &child : *children)
            m_rows.push_back({child, withSeparator(m_path) + child, depth + 1, false});
    }
}

QVariant DirListModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    loadChildren();
    const Row &row = m_rows[static_cast<size_t>(index.row())];
    switch (role) {
    case Qt::DisplayRole:
        return row.name;
    case Qt::ToolTipRole:
    case PathRole:
        return row.path;
    case DepthRole:
        return row.depth;
    case OpenRole:
        return row.open;
    }
    return {};
}

QString DirListModel::normalized(const QString &path)
{
    if (!path.startsWith(QLatin1Char('/')))
        return QString();
    QString clean = QDir::cleanPath(path);
    while (clean.size() > 1 && clean.endsWith(QLatin1Char('/')))
        clean.chop(1);
    return clean;
}

Status DirListModel::setPath(const QString &path)
{
    const QString target = normalized(path);
    if (target.isEmpty() || !m_fileSystem.folderExists(target))
        return ErrorNumber::PathNotFound;
    const Result<QString> volume = m_fileSystem.volumeOf(target);
    m_path = target;
    rebuild(volume ? *volume : QStringLiteral("/"));
    emit pathChanged();
    return {};
}

Status DirListModel::openRow(int row)
{
    if (row < 0 || row >= rowCount())
        return {};
    return setPath(m_rows[static_cast<size_t>(row)].path);
}

void DirListModel::rebuild(const QString &volumeRoot)
{
    beginResetModel();
    m_rows.clear();
    QString root = normalized(volumeRoot);
    if (!m_path.startsWith(root))
        root = QStringLiteral("/");
    m_rows.push_back({withSeparator(root), root, 0, true});
    QString walked = root;
    int depth = 0;
    const QString rest = m_path.mid(root.size());
    for (const QString &part : rest.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        walked = withSeparator(walked) + part;
        m_rows.push_back({part, walked, ++depth, true});
    }
    m_currentRow = static_cast<int>(m_rows.size()) - 1;
    m_childrenLoaded = false;
    endResetModel();
}

} // namespace dyadix
