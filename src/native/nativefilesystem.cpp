#include "nativefilesystem.h"

#include "core/utf8names.h"
#include "nativeposix.h"
#include "nativetrash.h"
#include "xattrcopy.h"

#include <QDir>

#include <algorithm>
#include <cerrno>
#include <vector>
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

namespace dyadix {

using namespace native;

Result<int> NativeFileSystem::GetAttr(const QString &path)
{
    Result<FileStat> stat = statPath(encodeUtf8Name(path));
    if (!stat)
        return stat.error();
    return stat->attributes;
}

Result<std::int64_t> NativeFileSystem::FileDateTime(const QString &path)
{
    Result<FileStat> stat = statPath(encodeUtf8Name(path));
    if (!stat)
        return stat.error();
    return stat->modified;
}

Result<std::int64_t> NativeFileSystem::FileLen(const QString &path)
{
    Result<FileStat> stat = statPath(encodeUtf8Name(path));
    if (!stat)
        return stat.error();
    return stat->size;
}

namespace {

// Whether this user may take a file away: not a folder, and (for a regular file) not
// read-only nor another's that this user may not write, as the read-only attribute keeps a
// file elsewhere; a link is only a name and goes.
Status mayRemove(const QByteArray &path, struct stat &st)
{
    if (::lstat(path.constData(), &st) != 0)
        return errorForFile(errno, path);
    if (S_ISDIR(st.st_mode))
        return ErrorNumber::PathFileAccessError;
    if (S_ISREG(st.st_mode) && !mayWrite(path, st))
        return ErrorNumber::PermissionDenied;
    return {};
}

} // namespace

Status NativeFileSystem::Kill(const QString &path)
{
    const QByteArray bytes = encodeUtf8Name(path);
    struct stat st {};
    if (Status allowed = mayRemove(bytes, st); !allowed)
        return allowed;
    if (::unlink(bytes.constData()) != 0)
        return errorForFile(errno, bytes);
    return {};
}

Status NativeFileSystem::makeFolders(const QString &targetFolder, const QString &relativeFolder,
                                     const QString &sourceFolder)
{
    QByteArray target = encodeUtf8Name(withSeparator(targetFolder));
    QByteArray source = encodeUtf8Name(withSeparator(sourceFolder));
    for (const QByteArray &part : encodeUtf8Name(relativeFolder).split('/')) {
        if (part.isEmpty())
            continue;
        target += part;
        source += part;
        struct stat st {};
        if (::lstat(target.constData(), &st) != 0) {
            if (errno != ENOENT)
                return RunTimeError::fromErrno(errno, PathKind::Folder);
            struct stat model {};
            const mode_t mode = ::stat(source.constData(), &model) == 0 ? (model.st_mode & 07777) : 0777;
            const bool made = ::mkdir(target.constData(), mode) == 0;
            if (!made && errno != EEXIST)
                return RunTimeError::fromErrno(errno, PathKind::Folder);
            if (::lstat(target.constData(), &st) != 0)
                return RunTimeError::fromErrno(errno, PathKind::Folder);
            // A folder made here gets its model's attributes too: its default access list
            // above all, which the files later made in it take.
            const FileDescriptor from(made ? ::open(source.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC) : -1);
            const FileDescriptor into(from.get() != -1 ? ::open(target.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC) : -1);
            if (into.get() != -1)
                native::copyAttributes(from.get(), into.get());
        }
        if (!S_ISDIR(st.st_mode))
            return ErrorNumber::FileInTheWay;
        target += '/';
        source += '/';
    }
    return {};
}

Status NativeFileSystem::moveToTrash(const QString &path)
{
    const QByteArray bytes = encodeUtf8Name(path);
    struct stat st {};
    if (Status allowed = mayRemove(bytes, st); !allowed)
        return allowed;
    const Result<Trashed> trashed = putInTrash(bytes, st, Placing::Move);
    return trashed ? Status() : Status(trashed.error());
}

Result<QStringList> NativeFileSystem::subfolders(const QString &folder)
{
    const QByteArray folderBytes = encodeUtf8Name(folder);
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
            names.append(decodeUtf8Name(rawName));
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
    return !path.isEmpty() && isFolder(encodeUtf8Name(path));
}
QString NativeFileSystem::currentFolder()
{
    std::vector<char> buffer(4096);
    while (::getcwd(buffer.data(), buffer.size()) == nullptr) {
        if (errno != ERANGE)
            return QDir::homePath();
        buffer.resize(buffer.size() * 2);
    }
    return decodeUtf8Name(buffer.data());
}

} // namespace dyadix
