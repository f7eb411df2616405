#include "nativefilesystem.h"

// Copying a file and writing a whole file, each leaving its target whole or as it was.

#include "core/utf8names.h"
#include "bytecopy.h"
#include "xattrcopy.h"
#include "nativeposix.h"
#include "replacingfile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace dyadix {

using namespace native;

namespace {

Status writeAll(int fd, const QByteArray &content)
{
    for (qsizetype done = 0; done < content.size();) {
        const std::size_t left = std::size_t(content.size() - done);
        const ssize_t n = retried([&] { return ::write(fd, content.constData() + done, left); });
        if (n == -1)
            return RunTimeError::fromErrno(errno);
        done += n;
    }
    return {};
}

// Some file systems stamp a file with the time of its rename or its close (a FAT stick through
// fusefat does): the time is set again on the file's final name. Where it still does not hold,
// the caller finds out by reading it back.
void keepTimeOnName(const QByteArray &path, const struct timespec (&times)[2])
{
    struct stat placed {};
    if (::stat(path.constData(), &placed) == 0 && placed.st_mtim.tv_sec == times[1].tv_sec
        && placed.st_mtim.tv_nsec == times[1].tv_nsec)
        return;
    ::utimensat(AT_FDCWD, path.constData(), times, 0);
}

} // namespace

Result<int> NativeFileSystem::FileCopy(const QString &source, const QString &target,
                                       const CopyProgress &progress, Replaced replaced)
{
    struct stat sourceStat {};
    Result<FileDescriptor> in = openRegularFile(encodeUtf8Name(source), sourceStat);
    if (!in)
        return in.error();

    ReplacingFile out(encodeUtf8Name(target));
    if (Status created = out.open(sourceStat.st_mode & 07777, &sourceStat, replaced); !created)
        return created.error();
    // A file with fewer blocks than its length needs has holes: they stay holes, as cp keeps them.
    const bool sparse = std::int64_t(sourceStat.st_blocks) * 512 < std::int64_t(sourceStat.st_size);
    const auto [copied, copyErrno] = sparse ? copySparseContent(in->get(), out.fd(), sourceStat.st_size, progress)
                                            : copyContent(in->get(), out.fd(), progress);
    // The unfinished copy goes with `out`: the target stays as it was.
    if (copyErrno == ECANCELED)
        return ErrorNumber::Stopped;
    if (copyErrno != 0)
        return RunTimeError::fromErrno(copyErrno);
    // A source that changed length while it was copied would leave a copy that matches
    // neither its old nor its new content under the old time.
    if (copied != sourceStat.st_size)
        return ErrorNumber::DeviceIoError;
    const int lost = copyAttributes(in->get(), out.fd());
    const struct timespec times[2] = {sourceStat.st_atim, sourceStat.st_mtim};
    if (::futimens(out.fd(), times) != 0)
        return RunTimeError::fromErrno(errno);
    if (Status placed = out.commit(); !placed)
        return placed.error();
    keepTimeOnName(out.target(), times);
    return lost;
}

Status NativeFileSystem::flushToDisk(const QString &folder)
{
    FileDescriptor at(::open(encodeUtf8Name(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (at.get() == -1)
        return RunTimeError::fromErrno(errno, PathKind::Folder);
    return ::syncfs(at.get()) == 0 ? Status() : Status(RunTimeError::fromErrno(errno));
}

Status NativeFileSystem::writeFile(const QString &path, const QByteArray &content,
                                   SpecialTarget special)
{
    const QByteArray target = encodeUtf8Name(path);
    if (special == SpecialTarget::WriteInto) {
        const Result<ResolvedTarget> at = resolveTarget(target);
        if (at && at->exists && !S_ISREG(at->st.st_mode) && !S_ISDIR(at->st.st_mode)) {
            FileDescriptor out(::open(target.constData(), O_WRONLY | O_NOCTTY | O_CLOEXEC));
            if (out.get() == -1)
                return errorForFile(errno, target);
            if (Status written = writeAll(out.get(), content); !written)
                return written;
            return out.close() ? Status() : Status(RunTimeError::fromErrno(errno));
        }
    }
    ReplacingFile out(target);
    if (Status opened = out.open(); !opened)
        return opened;
    if (Status written = writeAll(out.fd(), content); !written)
        return written;
    return out.commit();
}
} // namespace dyadix
