#include "nativeposix.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

namespace dyadix::native {

QByteArray parentOf(const QByteArray &path)
{
    const qsizetype slash = path.lastIndexOf('/', path.endsWith('/') ? path.size() - 2 : -1);
    if (slash < 0)
        return QByteArray(".");
    return slash == 0 ? QByteArray("/") : path.left(slash);
}

bool isFolder(const QByteArray &path)
{
    struct stat st {};
    return ::stat(path.constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

RunTimeError errorForFile(int errnoValue, const QByteArray &path)
{
    if (errnoValue == ENOENT && !isFolder(parentOf(path)))
        return ErrorNumber::PathNotFound;
    return RunTimeError::fromErrno(errnoValue, PathKind::File);
}

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

Result<FileStat> statPath(const QByteArray &path)
{
    struct stat st {};
    if (::lstat(path.constData(), &st) != 0)
        return errorForFile(errno, path);
    const qsizetype slash = path.lastIndexOf('/');
    const bool hidden = isHiddenName(std::string_view(path.constData() + slash + 1));
    if (S_ISLNK(st.st_mode)) {
        struct stat target {};
        if (::stat(path.constData(), &target) != 0)
            return errorForFile(errno, path);
        return toFileStat(target, hidden, true);
    }
    return toFileStat(st, hidden, false);
}

bool mayWrite(const QByteArray &path, const struct stat &st)
{
    return (st.st_mode & S_IWUSR) != 0
        && ::faccessat(AT_FDCWD, path.constData(), W_OK, AT_EACCESS) == 0;
}

Result<ResolvedTarget> resolveTarget(const QByteArray &path)
{
    ResolvedTarget target {path, {}, false};
    if (::lstat(path.constData(), &target.st) != 0) {
        if (errno == ENOENT)
            return target;
        return errorForFile(errno, path);
    }
    target.exists = true;
    if (!S_ISLNK(target.st.st_mode))
        return target;
    struct stat folder {};
    if (::stat(parentOf(path).constData(), &folder) == 0 && (folder.st_mode & S_ISVTX) != 0
        && (folder.st_mode & S_IWOTH) != 0 && target.st.st_uid != ::geteuid()
        && target.st.st_uid != folder.st_uid)
        return ErrorNumber::LinkNotFollowed;
    // The kernel follows the link, with every check it makes of links on the way.
    FileDescriptor resolved(::open(path.constData(), O_PATH | O_CLOEXEC));
    if (resolved.get() == -1) {
        // A link that names no file has nothing to write through to.
        if (errno == ENOENT)
            return RunTimeError(ErrorNumber::PathFileAccessError);
        return errorForFile(errno, path);
    }
    if (::fstat(resolved.get(), &target.st) != 0)
        return RunTimeError::fromErrno(errno);
    char name[PATH_MAX + 1];
    const QByteArray self = "/proc/self/fd/" + QByteArray::number(resolved.get());
    const ssize_t length = ::readlink(self.constData(), name, PATH_MAX);
    if (length > 0 && name[0] == '/') {
        target.path = QByteArray(name, length);
    } else if (char *real = ::realpath(path.constData(), nullptr); real != nullptr) {
        // Without /proc the name comes from the path; a pipe or terminal keeps the link's.
        target.path = real;
        ::free(real);
    }
    return target;
}

Result<FileDescriptor> openRegularFile(const QByteArray &path, struct stat &st, Blocking blocking, int folder)
{
    // In a folder already open, only the name is looked up (the path names the file for errors).
    const char *name = folder == AT_FDCWD ? path.constData() : path.constData() + path.lastIndexOf('/') + 1;
    if (::fstatat(folder, name, &st, 0) != 0)
        return errorForFile(errno, path);
    if (S_ISDIR(st.st_mode))
        return ErrorNumber::PathFileAccessError;
    if (!S_ISREG(st.st_mode))
        return ErrorNumber::NotRegularFile;
    FileDescriptor in(::openat(folder, name, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (in.get() == -1)
        return errorForFile(errno, path);
    struct stat opened {};
    if (::fstat(in.get(), &opened) != 0)
        return RunTimeError::fromErrno(errno);
    if (!S_ISREG(opened.st_mode) || !isSameFile(opened, st))
        return ErrorNumber::NotRegularFile;
    st = opened;
    if (blocking == Blocking::Left)
        return in;
    if (const int flags = ::fcntl(in.get(), F_GETFL); flags == -1 || ::fcntl(in.get(), F_SETFL, flags & ~O_NONBLOCK) != 0)
        return RunTimeError::fromErrno(errno);
    return in;
}

} // namespace dyadix::native
