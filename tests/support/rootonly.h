#pragma once

// What only root can do for a test: small mounts, and acting as an ordinary user.

#include "leftovers.h"

#include <QDir>
#include <QTemporaryDir>

#include <grp.h>
#include <memory>
#include <sys/mount.h>
#include <unistd.h>

namespace dyadix::test {

// A small tmpfs, a bind mount of a folder or a FAT stick, in a new folder under `under` where the test may mount (as root); else null.
struct Mount
{
    QTemporaryDir dir;
    explicit Mount(const QString &under) : dir(under + "/dyadix-XXXXXX") {}
    ~Mount() { ::umount2(dir.path().toLocal8Bit(), MNT_DETACH); }
    static std::unique_ptr<Mount> make(const QString &source, const char *type, unsigned long flags, const QByteArray &options, const QString &under)
    {
        auto mount = std::make_unique<Mount>(under);
        const bool ok = ::geteuid() == 0 && mount->dir.isValid()
            && ::mount(source.toLocal8Bit(), mount->dir.path().toLocal8Bit(), type, flags, options) == 0;
        if (ok)
            leftovers::mounted(mount->dir.path());
        return ok ? std::move(mount) : nullptr;
    }
    static auto tmpfs(int kilobytes, const QString &under = QDir::tempPath(), const QByteArray &mode = "1777")
    { return make("tmpfs", "tmpfs", 0, "size=" + QByteArray::number(kilobytes) + "k,mode=" + mode, under); }
    static auto bind(const QString &folder, const QString &under = QDir::tempPath()) { return make(folder, nullptr, MS_BIND, {}, under); }
    // A FAT stick: an image of that size mounted through fusefat, as a desktop mounts one for a user.
    static std::unique_ptr<Mount> fat(int kilobytes)
    {
        auto mount = std::make_unique<Mount>(QDir::tempPath());
        const QString image = mount->dir.path() + ".img";
        const bool ok = ::geteuid() == 0 && mount->dir.isValid() && QProcess::execute("mkfs.vfat", {"-C", image, QString::number(kilobytes)}) == 0
            && QProcess::execute("fusefat", {"-o", "rw+", image, mount->dir.path()}) == 0;
        QFile::remove(image); // fusefat holds it open; it goes when the stick is taken out
        if (ok)
            leftovers::mounted(mount->dir.path());
        return ok ? std::move(mount) : nullptr;
    }
};

// Acts as the unprivileged user "nobody" while it lives, where the test runs as root: the real
// and effective IDs change, and root's stay saved, so that they come back at the end.
struct ActAsNobody
{
    static constexpr int Id = 65534;
    bool active = ::geteuid() == 0 && ::setgroups(0, nullptr) == 0 && ::setresgid(Id, Id, 0) == 0 && ::setresuid(Id, Id, 0) == 0;
    ~ActAsNobody()
    {
        const gid_t rootGroups[] = {0};
        if (active && (::setresuid(0, 0, 0) != 0 || ::setresgid(0, 0, 0) != 0 || ::setgroups(1, rootGroups) != 0))
            ::abort(); // the rest of the suite must not run as someone else
    }
};

} // namespace dyadix::test
