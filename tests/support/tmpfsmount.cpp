#include "tmpfsmount.h"

#include <QByteArray>

#include <cstdlib>
#include <grp.h>
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

namespace dyadix::test {

BindMount::BindMount(const QString &folder)
{
    if (::geteuid() != 0 || !m_dir.isValid())
        return;
    m_mounted = ::mount(folder.toLocal8Bit().constData(), m_dir.path().toLocal8Bit().constData(),
                        nullptr, MS_BIND, nullptr)
        == 0;
}

BindMount::~BindMount()
{
    if (m_mounted)
        ::umount2(m_dir.path().toLocal8Bit().constData(), MNT_DETACH);
}

ActAsNobody::ActAsNobody()
{
    if (::geteuid() != 0)
        return;
    // Only the effective IDs change, so that the destructor can take root's back.
    m_active = ::setgroups(0, nullptr) == 0 && ::setegid(Gid) == 0
        && ::seteuid(Uid) == 0;
}

ActAsNobody::~ActAsNobody()
{
    if (!m_active)
        return;
    const gid_t rootGroups[] = {0};
    if (::seteuid(0) != 0 || ::setegid(0) != 0 || ::setgroups(1, rootGroups) != 0)
        ::abort(); // the rest of the suite must not run with the wrong identity
}

} // namespace dyadix::test
