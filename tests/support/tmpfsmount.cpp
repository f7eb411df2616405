#include "tmpfsmount.h"

#include <QByteArray>

#include <sys/mount.h>
#include <unistd.h>

namespace dyadix::test {

TmpfsMount::TmpfsMount(int kilobytes)
{
    if (::geteuid() != 0 || !m_dir.isValid())
        return;
    const QByteArray options = "size=" + QByteArray::number(kilobytes) + "k";
    m_mounted = ::mount("tmpfs", m_dir.path().toLocal8Bit().constData(), "tmpfs", 0,
                        options.constData())
        == 0;
}

bool TmpfsMount::remountReadOnly()
{
    return m_mounted
        && ::mount("tmpfs", m_dir.path().toLocal8Bit().constData(), "tmpfs",
                   MS_REMOUNT | MS_RDONLY, nullptr)
        == 0;
}

TmpfsMount::~TmpfsMount()
{
    if (m_mounted)
        ::umount2(m_dir.path().toLocal8Bit().constData(), MNT_DETACH);
}

} // namespace dyadix::test
