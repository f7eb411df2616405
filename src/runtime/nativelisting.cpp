#include "nativefilesystem.h"

#include "nativename.h"
#include "nativeposix.h"
#include "wildcard.h"

#include <algorithm>
#include <set>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

namespace dyadix {

using namespace native;

Result<std::vector<DirEntry>> NativeFileSystem::enumerate(const QString &folder,
                                                          const QString &pattern)
{
    const QByteArray folderBytes = encodeNativeName(folder);
    DIR *dir = ::opendir(folderBytes.isEmpty() ? "." : folderBytes.constData());
    if (dir == nullptr)
        return RunTimeError::fromErrno(errno, PathKind::Folder);
    const int dirFd = ::dirfd(dir);

    std::vector<DirEntry> entries;
    // A folder's own size gives an idea of how many names it holds.
    struct stat folderStat {};
    if (::fstat(dirFd, &folderStat) == 0)
        entries.reserve(static_cast<size_t>(std::min<std::int64_t>(folderStat.st_size / 40, 1 << 20)));
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
            entry.statError = RunTimeError::fromErrno(errno, PathKind::File).number;
        } else if (S_ISLNK(st.st_mode)) {
            struct stat target {};
            if (::fstatat(dirFd, item->d_name, &target, 0) == 0) {
                if (S_ISDIR(target.st_mode))
                    continue;
                entry.stat = toFileStat(target, hidden, true);
            } else {
                // A link to nothing has no time or size of a file to show.
                entry.statError = RunTimeError::fromErrno(errno, PathKind::File).number;
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

} // namespace dyadix

namespace dyadix {

Status NativeFileSystem::walkTree(const QString &folder, const QString &pattern, const TreeBatch &batch)
{
    const QByteArray top = encodeNativeName(folder);
    const int topFd = ::open(top.isEmpty() ? "." : top.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (topFd < 0)
        return RunTimeError::fromErrno(errno, PathKind::Folder);
    FileDescriptor topFolder(topFd);
    std::set<std::pair<dev_t, ino_t>> seen;
    // Folders still to be read, by their path below the top ("" the top, else ending in "/"):
    // opened when their turn comes, so that a wide tree holds few descriptors.
    std::vector<QByteArray> pending {QByteArray()};
    std::vector<DirEntry> entries;
    bool goOn = true;
    auto deliver = [&] {
        goOn = goOn && batch(entries);
        entries.clear();
    };
    while (!pending.empty() && goOn) {
        const QByteArray relative = std::move(pending.back());
        pending.pop_back();
        const int fd = relative.isEmpty() ? ::dup(topFd)
                                          : ::openat(topFd, relative.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        struct stat inside {};
        if (fd < 0) {
            DirEntry failed;
            failed.name = decodeNativeName(std::string_view(relative.constData(), size_t(relative.size())));
            failed.statError = RunTimeError::fromErrno(errno, PathKind::Folder).number;
            entries.push_back(std::move(failed));
            deliver();
            continue;
        }
        // A folder seen before (a bind mount of one above it) is not walked again.
        if (::fstat(fd, &inside) != 0 || !seen.emplace(inside.st_dev, inside.st_ino).second) {
            ::close(fd);
            continue;
        }
        DIR *dir = ::fdopendir(fd);
        if (dir == nullptr) {
            ::close(fd);
            continue;
        }
        const int dirFd = ::dirfd(dir);
        const QString prefix = decodeNativeName(std::string_view(relative.constData(), size_t(relative.size())));
        while (const dirent *item = ::readdir(dir)) {
            const std::string_view rawName(item->d_name);
            if (rawName == "." || rawName == "..")
                continue;
            struct stat st {};
            const bool isFolder = item->d_type == DT_DIR
                || (item->d_type == DT_UNKNOWN && ::fstatat(dirFd, item->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0
                    && S_ISDIR(st.st_mode));
            if (isFolder) {
                pending.push_back(relative + QByteArray(rawName.data(), qsizetype(rawName.size())) + '/');
                continue;
            }
            QString name = decodeNativeName(rawName);
            if (!matchesWildcard(name, pattern))
                continue;
            DirEntry entry;
            const bool hidden = isHiddenName(rawName);
            if (::fstatat(dirFd, item->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) {
                entry.statError = RunTimeError::fromErrno(errno, PathKind::File).number;
            } else if (S_ISLNK(st.st_mode)) {
                struct stat target {};
                if (::fstatat(dirFd, item->d_name, &target, 0) == 0) {
                    if (S_ISDIR(target.st_mode))
                        continue; // a link to a folder is neither walked nor listed
                    entry.stat = toFileStat(target, hidden, true);
                } else {
                    entry.statError = RunTimeError::fromErrno(errno, PathKind::File).number;
                }
            } else if (S_ISDIR(st.st_mode)) {
                continue; // became a folder since it was read
            } else {
                entry.stat = toFileStat(st, hidden, false);
            }
            entry.name = prefix.isEmpty() ? std::move(name) : prefix + name;
            entries.push_back(std::move(entry));
            if (entries.size() >= 4096)
                deliver();
        }
        ::closedir(dir);
        // Each folder's entries reach the caller before the walk waits on the next folder.
        if (!entries.empty())
            deliver();
    }
    return {};
}

} // namespace dyadix
