#include "nativefilesystem.h"

// The volumes a user would pick as drives, and the volume that holds a path.

#include "core/utf8names.h"
#include "mounttable.h"
#include "nativeposix.h"

#include <QStorageInfo>

#include <algorithm>

namespace dyadix {

using namespace native;

namespace {

bool isPseudoFileSystem(const QByteArray &type)
{
    static const char *const pseudo[] = {
        "proc",      "sysfs",     "devtmpfs", "devpts",    "cgroup",  "cgroup2",
        "securityfs", "debugfs",  "tracefs",  "pstore",    "bpf",     "mqueue",
        "hugetlbfs", "configfs",  "fusectl",  "binfmt_misc", "autofs", "efivarfs",
        "rpc_pipefs", "nsfs",     "squashfs", "ramfs",     "selinuxfs", "fuse.gvfsd-fuse",
        "fuse.portal", "overlay-internal"};
    return std::any_of(std::begin(pseudo), std::end(pseudo),
                       [&](const char *name) { return type == name; });
}

bool isUserMountPoint(const QString &root, const QByteArray &type)
{
    if (root == QLatin1String("/"))
        return true;
    static const char *const systemTrees[] = {"/proc", "/sys", "/dev", "/run", "/snap",
                                              "/boot", "/var/lib", "/var/snap"};
    const bool inUserTree = isRemovablePlace(root) || root == QLatin1String("/mnt");
    if (!inUserTree) {
        for (const char *tree : systemTrees) {
            const QLatin1String prefix(tree);
            if (root == prefix || root.startsWith(prefix + QLatin1Char('/')))
                return false;
        }
    }
    if (type == "tmpfs")
        return inUserTree;
    return !isPseudoFileSystem(type);
}

} // namespace

std::vector<Volume> NativeFileSystem::volumes()
{
    std::vector<Volume> result;
    for (const QStorageInfo &storage : QStorageInfo::mountedVolumes()) {
        const QString root = storage.rootPath();
        if (!storage.isValid() || !isUserMountPoint(root, storage.fileSystemType()))
            continue;
        if (std::any_of(result.begin(), result.end(),
                        [&](const Volume &v) { return v.rootPath == withSeparator(root); }))
            continue;
        result.push_back({withSeparator(root), storage.displayName()});
    }
    if (std::none_of(result.begin(), result.end(),
                     [](const Volume &v) { return v.rootPath == QLatin1String("/"); }))
        result.push_back({QStringLiteral("/"), QStringLiteral("/")});
    std::sort(result.begin(), result.end(), [](const Volume &a, const Volume &b) {
        return a.rootPath.compare(b.rootPath, Qt::CaseInsensitive) < 0;
    });
    return result;
}

Result<QString> NativeFileSystem::volumeOf(const QString &path)
{
    if (!path.startsWith(QLatin1Char('/')))
        return ErrorNumber::PathNotFound;
    const QByteArray full = encodeUtf8Name(path);
    QByteArray existing = full;
    while (!isFolder(existing) && existing != "/")
        existing = parentOf(existing);
    const QStorageInfo storage(decodeUtf8Name(existing.toStdString()));
    // No mount holds a folder only below a root that is no mount point (a chroot's): it is on
    // the root's volume, as volumes() lists it.
    if (!storage.isValid() && isFolder(existing))
        return QStringLiteral("/");
    if (!storage.isValid() || !storage.isReady())
        return ErrorNumber::DiskNotReady;
    // A missing folder where removable volumes are mounted, above which no volume is mounted
    // any more, is on a volume that is gone.
    if (existing != full && isRemovablePlace(path)
        && encodeUtf8Name(storage.rootPath()) != existing)
        return ErrorNumber::DeviceUnavailable;
    return withSeparator(storage.rootPath());
}

} // namespace dyadix
