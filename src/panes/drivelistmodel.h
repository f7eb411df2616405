#pragma once

// A pane's drive list.

#include "core/filesystem.h"

#include <QAbstractListModel>

namespace dyadix {

// A pane's drive list: the volumes of the machine, one of them current. Drive is the current
// volume's root path (it ends in the separator).
class DriveListModel final : public QAbstractListModel
{
    Q_OBJECT

public:
    enum Role { RootRole = Qt::UserRole };

    explicit DriveListModel(FileSystem &fileSystem, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

    const QString &Drive() const { return m_drive; }
    // Selects the volume that holds a path; a change of volume raises driveChanged.
    Status setDrive(const QString &path);
    // Selects a listed volume, as the user does; a change raises driveChanged.
    void chooseRow(int row);
    int currentRow() const;
    // Reads the machine's volumes again.
    void Refresh();

signals:
    void driveChanged();

private:
    void ensureListed(const QString &root);

    FileSystem &m_fileSystem;
    std::vector<Volume> m_volumes;
    QString m_drive;
};

} // namespace dyadix
