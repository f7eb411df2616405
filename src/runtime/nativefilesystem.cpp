#include "nativefilesystem.h"

#include "nativename.h"
#include "wildcard.h"

#include <QDir>
#include <QStorageInfo>

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace dyadix {

namespace {

QByteArray parentOf(const QByteArray &path)
{
    const qsizetype slash = path.lastIndexOf('/', path.endsWith('/') ? path.size() - 2 : -1);
    return slash <= 0 ? QByteArray("/") : path.left(slash);
}

bool isFolder(const QByteArray &path)
{
    struct stat st {};
    return ::stat(path.constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

// A missing file in an existing folder is "File not found"; when the folder on the way is
// missing too, it is "Path not found".
RunTimeError errorForFile(int errnoValue, const QByteArray &path)
{
    if (errnoValue == ENOENT && !isFolder(parentOf(path)))
        return ErrorNumber::PathNotFound;
    return RunTimeError::fromErrno(errnoValue, PathKind::File);
}

bool isHiddenName(std::string_view name) { return !name.empty() && name.front() == '.'; }

FileStat toFileStat(const struct stat &st, bool hidden, bool link)
{
    FileStat result;
    int attributes = FileAttribute::Normal;
    if (S_ISDIR(st.st_mode))
        attributes |= FileAttribute::Directory;
    else if (S_ISREG(st.st_mode))
        attributes |= FileAttribute::Archive;
    else if (!S_ISLNK(st.st_mode))
        attributes |= FileAttribute::System;
    if ((st.st_mode & S_IWUSR) == 0)
        attributes |= FileAttribute::ReadOnly;
    if (hidden)
        attributes |= FileAttribute::Hidden;
    if (link)
        attributes |= FileAttribute::Alias;
    result.attributes = attributes;
    result.size = static_cast<std::int64_t>(st.st_size);
    result.modified = static_cast<std::int64_t>(st.st_mtim.tv_sec);
    return result;
}

// Stat of a path as the listing sees it: a link is described by what it points to, a
// dangling link by itself.
Result<FileStat> statPath(const QByteArray &path)
{
    struct stat st {};
    if (::lstat(path.constData(), &st) != 0)
        return errorForFile(errno, path);
    const qsizetype slash = path.lastIndexOf('/');
    const bool hidden = isHiddenName(std::string_view(path.constData() + slash + 1));
    if (S_ISLNK(st.st_mode)) {
        struct stat target {};
        if (::stat(path.constData(), &target) == 0)
            return toFileStat(target, hidden, true);
    }
    return toFileStat(st, hidden, S_ISLNK(st.st_mode));
}

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
    const bool inUserTree = root.startsWith(QLatin1String("/media/"))
        || root.startsWith(QLatin1String("/mnt/")) || root == QLatin1String("/mnt")
        || root.startsWith(QLatin1String("/run/media/"));
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

QString withSeparator(QString path)
{
    if (!path.endsWith(QLatin1Char('/')))
        path += QLatin1Char('/');
    return path;
}

} // namespace

Result<std::vector<DirEntry>> NativeFileSystem::enumerate(const QString &folder,
                                                          const QString &pattern)
{
    const QByteArray folderBytes = encodeNativeName(folder);
    DIR *dir = ::opendir(folderBytes.isEmpty() ? "." : folderBytes.constData());
    if (dir == nullptr)
        return RunTimeError::fromErrno(errno, PathKind::Folder);
    const int dirFd = ::dirfd(dir);

    std::vector<DirEntry> entries;
    errno = 0;
    while (const dirent *item = ::readdir(dir)) {
        const std::string_view rawName(item->d_name);
        if (rawName == "." || rawName == ".." || item->d_type == DT_DIR)
            continue;
        QString name = decodeNativeName(rawName);
        if (!matchesWildcard(name, pattern))
            continue;

        DirEntry entry;
        entry.name = std::move(name);
        const bool hidden = isHiddenName(rawName);
        struct stat st {};
        if (::fstatat(dirFd, item->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) {
            entry.statError = RunTimeError::fromErrno(errno, PathKind::File);
        } else if (S_ISLNK(st.st_mode)) {
            struct stat target {};
            if (::fstatat(dirFd, item->d_name, &target, 0) == 0) {
                if (S_ISDIR(target.st_mode))
                    continue;
                entry.stat = toFileStat(target, hidden, true);
            } else {
                entry.stat = toFileStat(st, hidden, true);
            }
        } else {
            if (S_ISDIR(st.st_mode))
                continue;
            entry.stat = toFileStat(st, hidden, false);
        }
        entries.push_back(std::move(entry));
        errno = 0;
    }
    const int readError = errno;
    ::closedir(dir);
    if (readError != 0)
        return RunTimeError::fromErrno(readError, PathKind::Folder);
    return entries;
}

Result<int> NativeFileSystem::GetAttr(const QString &path)
{
    Result<FileStat> stat = statPath(encodeNativeName(path));
    if (!stat)
        return stat.error();
    return stat->attributes;
}

Result<std::int64_t> NativeFileSystem::FileDateTime(const QString &path)
{
    Result<FileStat> stat = statPath(encodeNativeName(path));
    if (!stat)
        return stat.error();
    return stat->modified;
}

Result<std::int64_t> NativeFileSystem::FileLen(const QString &path)
{
    Result<FileStat> stat = statPath(encodeNativeName(path));
    if (!stat)
        return stat.error();
    return stat->size;
}

Status NativeFileSystem::FileCopy(const QString &source, const QString &target)
{
    Q_UNUSED(source);
    Q_UNUSED(target);
    return ErrorNumber::PathFileAccessError;
}

Status NativeFileSystem::Kill(const QString &path)
{
    const QByteArray bytes = encodeNativeName(path);
    struct stat st {};
    if (::lstat(bytes.constData(), &st) != 0)
        return errorForFile(errno, bytes);
    if (S_ISDIR(st.st_mode))
        return ErrorNumber::PathFileAccessError;
    if (::unlink(bytes.constData()) != 0)
        return errorForFile(errno, bytes);
    return {};
}

Result<QStringList> NativeFileSystem::subfolders(const QString &folder)
{
    const QByteArray folderBytes = encodeNativeName(folder);
    DIR *dir = ::opendir(folderBytes.constData());
    if (dir == nullptr)
        return RunTimeError::fromErrno(errno, PathKind::Folder);
    const int dirFd = ::dirfd(dir);
    QStringList names;
    while (const dirent *item = ::readdir(dir)) {
        const std::string_view rawName(item->d_name);
        if (rawName == "." || rawName == "..")
            continue;
        bool folderEntry = item->d_type == DT_DIR;
        if (item->d_type == DT_UNKNOWN || item->d_type == DT_LNK) {
            struct stat st {};
            folderEntry = ::fstatat(dirFd, item->d_name, &st, 0) == 0 && S_ISDIR(st.st_mode);
        }
        if (folderEntry)
            names.append(decodeNativeName(rawName));
    }
    ::closedir(dir);
    std::sort(names.begin(), names.end(), [](const QString &a, const QString &b) {
        const int folded = a.compare(b, Qt::CaseInsensitive);
        return folded != 0 ? folded < 0 : a < b;
    });
    return names;
}

bool NativeFileSystem::folderExists(const QString &path)
{
    return !path.isEmpty() && isFolder(encodeNativeName(path));
}

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
    QByteArray existing = encodeNativeName(path);
    while (!isFolder(existing) && existing != "/")
        existing = parentOf(existing);
    const QStorageInfo storage(decodeNativeName(existing.toStdString()));
    if (!storage.isValid() || !storage.isReady())
        return ErrorNumber::DiskNotReady;
    return withSeparator(storage.rootPath());
}

QString NativeFileSystem::currentFolder()
{
    std::vector<char> buffer(4096);
    while (::getcwd(buffer.data(), buffer.size()) == nullptr) {
        if (errno != ERANGE)
            return QDir::homePath();
        buffer.resize(buffer.size() * 2);
    }
    return decodeNativeName(buffer.data());
}

} // namespace dyadix
