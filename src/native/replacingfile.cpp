#include "replacingfile.h"

#include <QFile>

#include <algorithm>
#include <atomic>
#include <csignal>
#include <dirent.h>
#include <memory>
#include <mutex>
#include <set>
#include <sys/statfs.h>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace dyadix::native {

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

// Whether a process of that number runs (as any user).
bool processRuns(pid_t pid)
{
    return ::kill(pid, 0) == 0 || errno != ESRCH;
}

} // namespace

void removeStaleParts(const QByteArray &folder)
{
    // Once a folder for the program's life: a folder is read through only once.
    static std::mutex mutex;
    static std::set<QByteArray> done;
    {
        std::lock_guard lock(mutex);
        if (!done.insert(folder).second)
            return;
    }
    const std::unique_ptr<DIR, int (*)(DIR *)> dir(::opendir(folder.constData()), ::closedir);
    if (!dir)
        return;
    // A folder that other machines write to may hold their parts, of processes this machine
    // does not see: left alone.
    struct statfs where {};
    constexpr decltype(where.f_type) Shared[] = {0x6969 /* NFS */, 0x517B /* SMB */, 0xFF534D42 /* CIFS */,
                                                  0xFE534D42 /* SMB2 */, 0x65735546 /* FUSE, sshfs among them */};
    if (::fstatfs(::dirfd(dir.get()), &where) != 0 || std::find(std::begin(Shared), std::end(Shared), where.f_type) != std::end(Shared))
        return;
    const QByteArray prefix = folder + (folder.endsWith('/') ? "" : "/");
    while (const dirent *entry = ::readdir(dir.get())) {
        // ".dyadix-PID-N.part": a temporary name of this program's.
        const QByteArray name = entry->d_name;
        if (!name.startsWith(".dyadix-") || !name.endsWith(".part"))
            continue;
        bool isNumber = false;
        const pid_t pid = pid_t(name.mid(8, name.indexOf('-', 8) - 8).toLong(&isNumber));
        if (isNumber && pid > 0 && pid != ::getpid() && !processRuns(pid))
            ::unlink((prefix + name).constData());
    }
}

ReplacingFile::~ReplacingFile()
{
    m_out.close();
    if (!m_temporary.isEmpty())
        ::unlink(m_temporary.constData());
}

Status ReplacingFile::open(std::optional<mode_t> mode, const struct stat *source, Replaced replaced)
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

    removeStaleParts(parentOf(m_target));
    // Written unnamed, a file that is killed half way leaves nothing behind: a new file gets
    // its name when complete, a replacement a temporary name just before it takes the target's.
    m_replaces = exists;
    if (canNameUnnamedFiles()) {
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

Status ReplacingFile::commit()
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

Result<Trashed> ReplacingFile::keepReplacedFile()
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

void ReplacingFile::undoKeeping(const Trashed &kept)
{
    if (kept.file.isEmpty())
        return;
    if (m_movedToTrash && ::rename(kept.file.constData(), m_target.constData()) != 0)
        return; // it stays restorable from the Trash
    forget(kept);
}

mode_t ReplacingFile::keptMode() const
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

Status ReplacingFile::nameUnnamedFile()
{
    const QByteArray self = "/proc/self/fd/" + QByteArray::number(m_out.get());
    if (!m_replaces && ::linkat(AT_FDCWD, self.constData(), AT_FDCWD, m_target.constData(), AT_SYMLINK_FOLLOW) == 0) {
        if (m_out.close())
            return {};
        const int closeErrno = errno;
        ::unlink(m_target.constData()); // there was no file of that name before
        return RunTimeError::fromErrno(closeErrno);
    }
    if (!m_replaces && errno != EEXIST)
        return RunTimeError::fromErrno(errno);
    // The target is replaced (or a file of its name appeared while this one was written):
    // through a temporary name.
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

} // namespace dyadix::native
