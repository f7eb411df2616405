#include "nativeposix.h"

#include <cerrno>
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

// Stat of a path as the listing sees it: a link is described by what it points to, a

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
    return toFileStat(st, hidden, S_ISLNK(st.st_mode));
}

bool mayWrite(const QByteArray &path, const struct stat &st)
{
    return (st.st_mode & S_IWUSR) != 0
        && ::faccessat(AT_FDCWD, path.constData(), W_OK, AT_EACCESS) == 0;
}

QString withSeparator(QString path)
{
    if (!path.endsWith(QLatin1Char('/')))
        path += QLatin1Char('/');
    return path;
}

} // namespace dyadix::native
