#include "nativefilesystem.h"

#include "core/utf8names.h"
#include "nativeposix.h"
#include "nativetrash.h"

#include <QFile>

#include <atomic>
#include <cerrno>
#include <optional>
#include <utility>
#include <vector>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace dyadix {

using namespace native;

namespace {

// A name beside `target` that no file of this process has used, for a file that replaces the
// target once complete.
QByteArray temporaryNameBeside(const QByteArray &target)
{
    static std::atomic<std::uint64_t> counter = 0;
    const QByteArray folder = parentOf(target);
    return folder + (folder.endsWith('/') ? "" : "/") + ".dyadix-"
        + QByteArray::number(static_cast<qulonglong>(::getpid())) + '-'
        + QByteArray::number(static_cast<qulonglong>(++counter)) + ".part";
}

// The process's file-creation mask, read once (the program never changes it). /proc tells it
// without changing it; where /proc is missing it is set and put back.
mode_t creationMask()
{
    static const mode_t mask = [] {
        QFile status(QStringLiteral("/proc/self/status"));
        if (status.open(QIODevice::ReadOnly)) {
            for (const QByteArray &line : status.readAll().split('\n')) {
                if (line.startsWith("Umask:")) {
                    bool ok = false;
                    const uint value = line.mid(6).trimmed().toUInt(&ok, 8);
                    if (ok)
                        return mode_t(value & 0777);
                }
            }
        }
        const mode_t current = ::umask(022);
        ::umask(current);
        return current;
    }();
    return mask;
}

// Whether a file's descriptor can be given a name through /proc, which unnamed files need.
bool canNameUnnamedFiles()
{
    static const bool available = ::access("/proc/self/fd", X_OK) == 0;
    return available;
}

// Copies the whole of `in` to `out` with the kernel's copy where it can, by read and write
// where it cannot. Returns the bytes copied or the errno that stopped it.
std::pair<std::int64_t, int> copyContent(int in, int out, const FileSystem::CopyProgress &progress)
{
    // Kernel copies go in parts small enough that progress is heard several times a second.
    const std::size_t part = progress ? std::size_t(16) << 20 : std::size_t(1) << 30;
    std::int64_t copied = 0;
    bool kernelCopy = true;
    while (kernelCopy) {
        const ssize_t n
            = retried([&] { return ::copy_file_range(in, nullptr, out, nullptr, part, 0); });
        if (n > 0) {
            copied += n;
            if (progress && !progress(copied))
                return {copied, ECANCELED};
            continue;
        }
        if (n == 0)
            return {copied, 0};
        if (copied == 0 && (errno == EXDEV || errno == ENOSYS || errno == EINVAL
                            || errno == EOPNOTSUPP || errno == EBADF || errno == EPERM))
            kernelCopy = false;
        else
            return {copied, errno};
    }
    std::vector<char> buffer(std::size_t(1) << 20);
    for (;;) {
        const ssize_t n = retried([&] { return ::read(in, buffer.data(), buffer.size()); });
        if (n <= 0)
            return {copied, n == 0 ? 0 : errno};
        for (ssize_t done = 0; done < n;) {
            const ssize_t w
                = retried([&] { return ::write(out, buffer.data() + done, std::size_t(n - done)); });
            if (w == -1)
                return {copied, errno};
            done += w;
        }
        copied += n;
        if (progress && !progress(copied))
            return {copied, ECANCELED};
    }
}

// A file that replaces `target` once it is complete. Until then, and whenever something
// fails, the target stays as it was and nothing is left behind. A new target is written as an
// unnamed file in its folder and named when complete: one change to the folder, and after a
// crash there is no partial file under any name. An existing target, or one on a file system
// without unnamed files, is written beside it under a temporary name and renamed over it.
class ReplacingFile
{
public:
    explicit ReplacingFile(QByteArray target)
        : m_target(std::move(target))
    {
    }
    ReplacingFile(const ReplacingFile &) = delete;
    ReplacingFile &operator=(const ReplacingFile &) = delete;
    ~ReplacingFile()
    {
        m_out.close();
        if (!m_temporary.isEmpty())
            ::unlink(m_temporary.constData());
    }

    // Checks the target and creates the file that will replace it. An existing target must be
    // a regular file the user may write, and never the source itself (`source`, when given);
    // a link at the target is written through to the file it names and left in place. The
    // finished file gets `mode`; without one, the permissions of the file it replaces or a
    // new file's. Set-user-ID and set-group-ID stay only where the finished file has the
    // owner and group of the file whose mode it takes.
    Status open(std::optional<mode_t> mode = std::nullopt, const struct stat *source = nullptr,
                Replaced replaced = Replaced::Dropped)
    {
        m_replaced = replaced;
        const Result<ResolvedTarget> at = resolveTarget(m_target);
        if (!at)
            return at.error();
        m_target = at->path;
        const struct stat &existing = at->st;
        const bool exists = at->exists;
        if (exists) {
            if (S_ISDIR(existing.st_mode))
                return ErrorNumber::TargetIsFolder;
            if (!S_ISREG(existing.st_mode))
                return ErrorNumber::NotRegularFile;
            if (source != nullptr && isSameFile(existing, *source))
                return ErrorNumber::SameFile;
            if (!mayWrite(m_target, existing))
                return ErrorNumber::PermissionDenied;
            if (!mode)
                mode = existing.st_mode & 07777;
        }
        if (const struct stat *owner = source != nullptr ? source : exists ? &existing : nullptr)
            m_owner = {owner->st_uid, owner->st_gid};
        // Created with the finished file's permissions where the creation mask lets it, so
        // that only an unusual mode needs a change of its own.
        const mode_t created = mode ? (*mode & 0777) : 0666;
        m_mode = mode;
        m_modeNeedsChange = mode && ((*mode & ~mode_t(0777)) != 0 || (*mode & creationMask()) != 0);

        if (!exists && canNameUnnamedFiles()) {
            const int fd = ::open(parentOf(m_target).constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, created);
            if (fd != -1) {
                m_out.reset(fd);
                m_unnamed = true;
                return {};
            }
            if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)
                return RunTimeError::fromErrno(errno, PathKind::Folder);
        }
        for (int attempt = 0; attempt < 100; ++attempt) {
            QByteArray name = temporaryNameBeside(m_target);
            const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, created);
            if (fd != -1) {
                m_out.reset(fd);
                m_temporary = std::move(name);
                return {};
            }
            if (errno != EEXIST)
                return RunTimeError::fromErrno(errno, PathKind::Folder);
        }
        return ErrorNumber::FileAlreadyExists;
    }
    int fd() const { return m_out.get(); }

    // Puts the finished file in the target's place.
    Status commit()
    {
        if (m_modeNeedsChange && ::fchmod(m_out.get(), keptMode()) != 0)
            return RunTimeError::fromErrno(errno);
        if (m_unnamed)
            return nameUnnamedFile();
        if (!m_out.close())
            return RunTimeError::fromErrno(errno);
        std::optional<Trashed> kept;
        if (m_replaced == Replaced::ToTrash) {
            Result<Trashed> trashed = keepReplacedFile();
            if (!trashed)
                return trashed.error();
            kept = *trashed;
        }
        if (::rename(m_temporary.constData(), m_target.constData()) != 0) {
            const int renameErrno = errno;
            if (kept)
                undoKeeping(*kept);
            return RunTimeError::fromErrno(renameErrno);
        }
        m_temporary.clear();
        return {};
    }

private:
    // The file about to be replaced goes into the Trash: a second name there, so that the
    // rename that follows replaces it in one step and its content is never gone. Where the
    // file system keeps no second names, it is moved there just before the rename.
    Result<Trashed> keepReplacedFile()
    {
        struct stat old {};
        if (::lstat(m_target.constData(), &old) != 0)
            return errno == ENOENT ? Result<Trashed>(Trashed {}) : Result<Trashed>(RunTimeError::fromErrno(errno));
        Result<Trashed> linked = putInTrash(m_target, old, Placing::Link);
        if (linked || linked.error().number == int(ErrorNumber::TrashUnavailable))
            return linked;
        m_movedToTrash = true;
        return putInTrash(m_target, old, Placing::Move);
    }
    void undoKeeping(const Trashed &kept)
    {
        if (kept.file.isEmpty())
            return;
        if (m_movedToTrash && ::rename(kept.file.constData(), m_target.constData()) != 0)
            return; // it stays restorable from the Trash
        forget(kept);
    }

    // The mode less the set-ID bits of an owner or group that the new file does not have: a
    // copy made by root of another user's set-user-ID program must not run as root.
    mode_t keptMode() const
    {
        mode_t mode = *m_mode;
        struct stat made {};
        const bool known = m_owner && ::fstat(m_out.get(), &made) == 0;
        if (!known || made.st_uid != m_owner->first)
            mode &= ~mode_t(S_ISUID);
        if (!known || made.st_gid != m_owner->second)
            mode &= ~mode_t(S_ISGID);
        return mode;
    }

    Status nameUnnamedFile()
    {
        const QByteArray self = "/proc/self/fd/" + QByteArray::number(m_out.get());
        if (::linkat(AT_FDCWD, self.constData(), AT_FDCWD, m_target.constData(), AT_SYMLINK_FOLLOW) == 0) {
            if (m_out.close())
                return {};
            const int closeErrno = errno;
            ::unlink(m_target.constData()); // there was no file of that name before
            return RunTimeError::fromErrno(closeErrno);
        }
        if (errno != EEXIST)
            return RunTimeError::fromErrno(errno);
        // A file of the target's name appeared while this one was written: it is replaced as
        // an existing target is, through a temporary name.
        for (int attempt = 0; attempt < 100 && m_temporary.isEmpty(); ++attempt) {
            QByteArray name = temporaryNameBeside(m_target);
            if (::linkat(AT_FDCWD, self.constData(), AT_FDCWD, name.constData(), AT_SYMLINK_FOLLOW) == 0)
                m_temporary = std::move(name);
            else if (errno != EEXIST)
                return RunTimeError::fromErrno(errno);
        }
        if (m_temporary.isEmpty())
            return ErrorNumber::FileAlreadyExists;
        m_unnamed = false;
        return commit();
    }

    QByteArray m_target;
    QByteArray m_temporary;
    FileDescriptor m_out;
    bool m_unnamed = false;
    std::optional<mode_t> m_mode;
    std::optional<std::pair<uid_t, gid_t>> m_owner;
    Replaced m_replaced = Replaced::Dropped;
    bool m_movedToTrash = false;
    bool m_modeNeedsChange = false;
};

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

} // namespace

Status NativeFileSystem::FileCopy(const QString &source, const QString &target,
                                  const CopyProgress &progress, Replaced replaced)
{
    // What the source is comes first: opening a pipe waits for a writer, and opening a device
    // can act on it (a tape rewinds). Only a regular file is opened, and without waiting.
    const QByteArray from = encodeUtf8Name(source);
    struct stat sourceStat {};
    if (::stat(from.constData(), &sourceStat) != 0)
        return errorForFile(errno, from);
    if (S_ISDIR(sourceStat.st_mode))
        return ErrorNumber::PathFileAccessError;
    if (!S_ISREG(sourceStat.st_mode))
        return ErrorNumber::NotRegularFile;
    FileDescriptor in(::open(from.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (in.get() == -1)
        return errorForFile(errno, from);
    struct stat opened {};
    if (::fstat(in.get(), &opened) != 0)
        return RunTimeError::fromErrno(errno);
    // Another file put under the name since it was looked at is not copied.
    if (!S_ISREG(opened.st_mode) || !isSameFile(opened, sourceStat))
        return ErrorNumber::NotRegularFile;
    sourceStat = opened;
    if (const int flags = ::fcntl(in.get(), F_GETFL); flags == -1 || ::fcntl(in.get(), F_SETFL, flags & ~O_NONBLOCK) != 0)
        return RunTimeError::fromErrno(errno);

    ReplacingFile out(encodeUtf8Name(target));
    if (Status created = out.open(sourceStat.st_mode & 07777, &sourceStat, replaced); !created)
        return created;
    const auto [copied, copyErrno] = copyContent(in.get(), out.fd(), progress);
    // The unfinished copy goes with `out`: the target stays as it was.
    if (copyErrno == ECANCELED)
        return ErrorNumber::Stopped;
    if (copyErrno != 0)
        return RunTimeError::fromErrno(copyErrno);
    // A source that changed length while it was copied would leave a copy that matches
    // neither its old nor its new content under the old time.
    if (copied != sourceStat.st_size)
        return ErrorNumber::DeviceIoError;
    const struct timespec times[2] = {sourceStat.st_atim, sourceStat.st_mtim};
    if (::futimens(out.fd(), times) != 0)
        return RunTimeError::fromErrno(errno);
    return out.commit();
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
