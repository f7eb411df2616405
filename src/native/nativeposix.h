#pragma once

// What the native file system's parts share: paths as bytes, stat, descriptors.

#include "core/filesystem.h"
#include "core/folderpath.h"

#include <QByteArray>

#include <cerrno>
#include <string_view>
#include <utility>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace dyadix::native {

// The folder that holds a path: "/" for a name in the root, "." for a bare name.
QByteArray parentOf(const QByteArray &path);
bool isFolder(const QByteArray &path);
// A missing file in an existing folder is "File not found"; when the folder on the way is
// missing too, it is "Path not found".
RunTimeError errorForFile(int errnoValue, const QByteArray &path);
inline bool isHiddenName(std::string_view name) { return !name.empty() && name.front() == '.'; }
FileStat toFileStat(const struct stat &st, bool hidden, bool link);
// Stat of a path as the listing sees it: a link is described by what it points to, and a
// link that points to nothing fails as a missing file does.
Result<FileStat> statPath(const QByteArray &path);
// Whether two stats describe one file, whatever names led to it (a linked folder, a bind
// mount, a hard link).
inline bool isSameFile(const struct stat &a, const struct stat &b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}
// Whether this user may write the file: not marked read-only, and the kernel lets this user
// open it for writing (ownership, group, access lists, a read-only mount).
bool mayWrite(const QByteArray &path, const struct stat &st);

// What a target name stands for, with links followed as the kernel follows them. A link is
// followed only where the kernel would (it resolves it), and never when another user planted
// it in a shared folder (sticky and writable by all) that is not theirs, whatever the
// system's own protection is set to.
struct ResolvedTarget
{
    QByteArray path; // the file the name leads to, or the name itself when nothing is there
    struct stat st {};
    bool exists = false;
};
Result<ResolvedTarget> resolveTarget(const QByteArray &path);

// A system call, made again for as long as a signal interrupts it.
template<typename Call> auto retried(Call call)
{
    for (;;) {
        const auto result = call();
        if (result != -1 || errno != EINTR)
            return result;
    }
}

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
    FileDescriptor(FileDescriptor &&other) noexcept
        : m_fd(std::exchange(other.m_fd, -1))
    {
    }
    FileDescriptor &operator=(FileDescriptor &&other) noexcept
    {
        reset(std::exchange(other.m_fd, -1));
        return *this;
    }
    ~FileDescriptor()
    {
        if (m_fd != -1)
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
        return fd == -1 || ::close(fd) == 0;
    }

private:
    int m_fd;
};

// Opens a regular file for reading, its stat in `st`. What the file is comes first: opening a
// pipe waits for a writer, and opening a device can act on it (a tape rewinds). Only a regular
// file is opened, and without waiting; another file put under the name since it was looked
// at is refused.
// Reads of a regular file ignore O_NONBLOCK; `blocking` clears it all the same, for a copy
// whose file system might not.
enum class Blocking { Cleared, Left };
// `folder`, where given, is the open folder that holds the file named by `path`.
Result<FileDescriptor> openRegularFile(const QByteArray &path, struct stat &st, Blocking blocking = Blocking::Cleared,
                                       int folder = AT_FDCWD);

} // namespace dyadix::native
