#include "nativefilesystem.h"

#include "nativename.h"
#include "nativeposix.h"
#include "wildcard.h"

#include <algorithm>
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
