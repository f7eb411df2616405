#include "mounttable.h"

#include "nativeposix.h"

#include <QDateTime>
#include <QFile>

namespace dyadix::native {

namespace {

bool isNetworkType(const QByteArray &type)
{
    static const QByteArrayList network = {"nfs", "nfs4", "cifs", "smb3", "smbfs", "9p", "afs", "ceph",
                                           "glusterfs", "lustre", "ncpfs", "coda", "davfs", "ocfs2",
                                           "gfs2", "orangefs", "pvfs2", "sshfs"};
    return type.startsWith("fuse") || network.contains(type);
}

// The mount table's octal escapes (\040 for a blank) as the bytes they stand for.
QByteArray unescapeMountField(const QByteArray &field)
{
    QByteArray bytes;
    for (qsizetype i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size()) {
            bytes += char(field.mid(i + 1, 3).toInt(nullptr, 8));
            i += 3;
        } else {
            bytes += field[i];
        }
    }
    return bytes;
}

} // namespace

bool isRemovablePlace(QStringView path)
{
    return path.startsWith(QLatin1String("/media/")) || path.startsWith(QLatin1String("/mnt/"))
        || path.startsWith(QLatin1String("/run/media/"));
}

void NetworkMounts::setTable(const QString &table)
{
    const std::lock_guard lock(m_lock);
    m_table = table;
    m_readAt = -1;
}

bool NetworkMounts::holds(const QString &path)
{
    const std::lock_guard lock(m_lock);
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    if (m_readAt == -1 || now - m_readAt > 2000) {
        m_readAt = now;
        m_mounts.clear();
        QFile mounts(m_table);
        if (mounts.open(QIODevice::ReadOnly)) {
            for (const QByteArray &line : mounts.readAll().split('\n')) {
                const QByteArrayList fields = line.split(' ');
                if (fields.size() > 2 && isNetworkType(fields[2]))
                    m_mounts << QFile::decodeName(unescapeMountField(fields[1]));
            }
        }
    }
    for (const QString &mount : std::as_const(m_mounts)) {
        if (path == mount || path.startsWith(withSeparator(mount)))
            return true;
    }
    return false;
}

} // namespace dyadix::native
