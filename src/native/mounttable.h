#pragma once

// What the mount table says of a place: whether a network file system holds it, and where
// removable volumes are mounted.

#include <QString>
#include <QStringList>

#include <mutex>

namespace dyadix::native {

// Where removable volumes and a user's own mounts go: /media, /mnt and /run/media.
bool isRemovablePlace(QStringView path);

// The mount points of network file systems (a FUSE, NFS, SMB or other network file system),
// read from a mount table without touching the paths themselves, and read again when older
// than two seconds. Safe to ask from several threads.
class NetworkMounts
{
public:
    explicit NetworkMounts(QString table = QStringLiteral("/proc/self/mounts"))
        : m_table(std::move(table))
    {
    }
    void setTable(const QString &table);
    // Whether a network file system holds the path.
    bool holds(const QString &path);

private:
    std::mutex m_lock;
    QString m_table;
    QStringList m_mounts;
    qint64 m_readAt = -1;
};

} // namespace dyadix::native
