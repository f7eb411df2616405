#pragma once

// A pane's folder list.

#include "core/filesystem.h"
#include "core/folderpath.h"

#include <QAbstractListModel>

namespace dyadix {

// A pane's folder list: the chain of folders from the volume's root down to the current
// folder, then the current folder's subfolders. Path is the current folder: no trailing
// separator except on the root itself.
class DirListModel final : public QAbstractListModel
{
    Q_OBJECT

public:
    enum Role { PathRole = Qt::UserRole, DepthRole, OpenRole };

    explicit DirListModel(FileSystem &fileSystem, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

    const QString &Path() const { return m_path; }
    // Moves to a folder and raises pathChanged, also for the folder already shown. Fails with
    // "Path not found" when the folder does not exist; the list then stays where it was.
    Status setPath(const QString &path);
    // The row of the current folder.
    int currentRow() const { return m_currentRow; }
    // What the user's double-click or Enter on a row does: open that folder.
    Status openRow(int row);

    // An absolute path without "." or ".." parts and without a trailing separator.
    static QString normalized(const QString &path);

signals:
    void pathChanged();

private:
    struct Row
    {
        QString name;
        QString path;
        int depth = 0;
        bool open = false;
    };
    void rebuild(const QString &volumeRoot);
    // The subfolders are read when the list is first looked at, not when the folder changes.
    void loadChildren() const;

    FileSystem &m_fileSystem;
    QString m_path;
    mutable std::vector<Row> m_rows;
    mutable bool m_childrenLoaded = true;
    int m_currentRow = -1;
};

} // namespace dyadix
