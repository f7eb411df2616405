#include "nativefilesystem.h"

// Copying a file and writing a whole file, each leaving its target whole or as it was.

#include "core/utf8names.h"
#include "bytecopy.h"
#include "xattrcopy.h"
#include "nativeposix.h"
#include "replacingfile.h"

#include <cerrno>
#include <fcntl.h>
#include <set>
#include <sys/stat.h>
#include <sys/statfs.h>
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

Status NativeFileSystem::flushToDisk(const QStringList &files)
{
    // One syncfs a file system where the kernel writes it out itself; each file and its folder
    // where a program serves the file system (FUSE: syncfs does not reach it, fsync does).
    constexpr decltype(statfs::f_type) FuseMagic = 0x65735546;
    std::set<dev_t> synced;
    std::set<QByteArray> folders;
    for (const QString &file : files) {
        const QByteArray path = encodeUtf8Name(file);
        FileDescriptor at(::open(path.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
        struct stat st {};
        struct statfs fs {};
        if (at.get() == -1 || ::fstat(at.get(), &st) != 0 || ::fstatfs(at.get(), &fs) != 0)
            return RunTimeError::fromErrno(errno);
        if (fs.f_type != FuseMagic) {
            if (synced.insert(st.st_dev).second && ::syncfs(at.get()) != 0)
                return RunTimeError::fromErrno(errno);
            continue;
        }
        if (::fsync(at.get()) != 0)
            return RunTimeError::fromErrno(errno);
        folders.insert(parentOf(path));
    }
    for (const QByteArray &folder : folders) {
        FileDescriptor at(::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (at.get() == -1 || (::fsync(at.get()) != 0 && errno != EINVAL))
            return RunTimeError::fromErrno(errno, PathKind::Folder);
    }
    return {};
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
