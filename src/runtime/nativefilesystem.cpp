#include "nativefilesystem.h"

#include "nativename.h"
#include "wildcard.h"

#include <QDir>
#include <QFile>
#include <QStorageInfo>

#include <algorithm>
#include <atomic>
#include <optional>
#include <utility>
#include <vector>
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

namespace {

// Closes a descriptor when it goes out of scope.
class FileDescriptor
{
public:
    explicit FileDescriptor(int fd = -1)
        : m_fd(fd)
    {
    }
    FileDescriptor(const FileDescriptor &) = delete;
    FileDescriptor &operator=(const FileDescriptor &) = delete;
    ~FileDescriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    int get() const { return m_fd; }
    void reset(int fd)
    {
        close();
        m_fd = fd;
    }
    // Closes now and reports whether the close succeeded (a full disk may show only here).
    bool close()
    {
        const int fd = std::exchange(m_fd, -1);
        return fd < 0 || ::close(fd) == 0;
    }

private:
    int m_fd;
};

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
std::pair<std::int64_t, int> copyContent(int in, int out)
{
    std::int64_t copied = 0;
    bool kernelCopy = true;
    while (kernelCopy) {
        const ssize_t n = ::copy_file_range(in, nullptr, out, nullptr, std::size_t(1) << 30, 0);
        if (n > 0) {
            copied += n;
            continue;
        }
        if (n == 0)
            return {copied, 0};
        if (errno == EINTR)
            continue;
        if (copied == 0 && (errno == EXDEV || errno == ENOSYS || errno == EINVAL
                            || errno == EOPNOTSUPP || errno == EBADF || errno == EPERM))
            kernelCopy = false;
        else
            return {copied, errno};
    }
    std::vector<char> buffer(std::size_t(1) << 20);
    for (;;) {
        const ssize_t n = ::read(in, buffer.data(), buffer.size());
        if (n == 0)
            return {copied, 0};
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return {copied, errno};
        }
        for (ssize_t done = 0; done < n;) {
            const ssize_t w = ::write(out, buffer.data() + done, static_cast<std::size_t>(n - done));
            if (w < 0) {
                if (errno == EINTR)
                    continue;
                return {copied, errno};
            }
            done += w;
        }
        copied += n;
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

    // Checks the target (an existing one must be a file the user may write; a link is
    // replaced, not followed) and creates the file that will replace it. The finished file
    // gets `mode`; without one, the permissions of the file it replaces or a new file's.
    Status open(std::optional<mode_t> mode = std::nullopt, const struct stat *sameAs = nullptr)
    {
        struct stat existing {};
        const bool exists = ::lstat(m_target.constData(), &existing) == 0;
        if (exists) {
            if (S_ISDIR(existing.st_mode))
                return ErrorNumber::PathFileAccessError;
            if (S_ISREG(existing.st_mode) && (existing.st_mode & S_IWUSR) == 0)
                return ErrorNumber::PermissionDenied;
            if (sameAs != nullptr && existing.st_dev == sameAs->st_dev && existing.st_ino == sameAs->st_ino)
                return ErrorNumber::FileAlreadyOpen;
            if (!mode && S_ISREG(existing.st_mode))
                mode = existing.st_mode & 07777;
        } else if (errno != ENOENT) {
            return errorForFile(errno, m_target);
        }
        // Created with the finished file's permissions where the creation mask lets it, so
        // that only an unusual mode needs a change of its own.
        const mode_t created = mode ? (*mode & 0777) : 0666;
        m_mode = mode;
        m_modeNeedsChange = mode && ((*mode & ~mode_t(0777)) != 0 || (*mode & creationMask()) != 0);

        if (!exists && canNameUnnamedFiles()) {
            const int fd = ::open(parentOf(m_target).constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, created);
            if (fd >= 0) {
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
            if (fd >= 0) {
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
        if (m_modeNeedsChange && ::fchmod(m_out.get(), *m_mode) != 0)
            return RunTimeError::fromErrno(errno);
        if (m_unnamed)
            return nameUnnamedFile();
        if (!m_out.close())
            return RunTimeError::fromErrno(errno);
        if (::rename(m_temporary.constData(), m_target.constData()) != 0)
            return RunTimeError::fromErrno(errno);
        m_temporary.clear();
        return {};
    }

private:
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
    bool m_modeNeedsChange = false;
};

Status writeAll(int fd, const QByteArray &content)
{
    for (qsizetype done = 0; done < content.size();) {
        const ssize_t n = ::write(fd, content.constData() + done, static_cast<std::size_t>(content.size() - done));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return RunTimeError::fromErrno(errno);
        }
        done += n;
    }
    return {};
}

} // namespace

Status NativeFileSystem::FileCopy(const QString &source, const QString &target)
{
    const QByteArray from = encodeNativeName(source);
    FileDescriptor in(::open(from.constData(), O_RDONLY | O_CLOEXEC));
    if (in.get() < 0)
        return errorForFile(errno, from);
    struct stat sourceStat {};
    if (::fstat(in.get(), &sourceStat) != 0)
        return RunTimeError::fromErrno(errno);
    if (!S_ISREG(sourceStat.st_mode))
        return ErrorNumber::PathFileAccessError;

    ReplacingFile out(encodeNativeName(target));
    if (Status opened = out.open(sourceStat.st_mode & 07777, &sourceStat); !opened) {
        // Copying a file onto itself leaves it as it is.
        if (opened.error().number == int(ErrorNumber::FileAlreadyOpen))
            return {};
        return opened;
    }
    const auto [copied, copyErrno] = copyContent(in.get(), out.fd());
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

Status NativeFileSystem::writeFile(const QString &path, const QByteArray &content)
{
    ReplacingFile out(encodeNativeName(path));
    if (Status opened = out.open(); !opened)
        return opened;
    if (Status written = writeAll(out.fd(), content); !written)
        return written;
    return out.commit();
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
    const QByteArray full = encodeNativeName(path);
    QByteArray existing = full;
    while (!isFolder(existing) && existing != "/")
        existing = parentOf(existing);
    const QStorageInfo storage(decodeNativeName(existing.toStdString()));
    if (!storage.isValid() || !storage.isReady())
        return ErrorNumber::DiskNotReady;
    // A missing folder where removable volumes are mounted, above which no volume is mounted
    // any more, is on a volume that is gone.
    const bool removablePlace = full.startsWith("/media/") || full.startsWith("/mnt/")
        || full.startsWith("/run/media/");
    if (existing != full && removablePlace
        && encodeNativeName(storage.rootPath()) != existing)
        return ErrorNumber::DeviceUnavailable;
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
