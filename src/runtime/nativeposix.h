#pragma once

#include "filesystem.h"

#include <QByteArray>

#include <string_view>
#include <utility>
#include <sys/stat.h>
#include <unistd.h>

// Helpers that the native file system's parts share: paths as bytes, stat, descriptors.
namespace dyadix::native {

// The folder that holds a path.
QByteArray parentOf(const QByteArray &path);
bool isFolder(const QByteArray &path);
// A missing file in an existing folder is "File not found"; when the folder on the way is
// missing too, it is "Path not found".
RunTimeError errorForFile(int errnoValue, const QByteArray &path);
inline bool isHiddenName(std::string_view name) { return !name.empty() && name.front() == '.'; }
FileStat toFileStat(const struct stat &st, bool hidden, bool link);
// Stat of a path as the listing sees it: a link is described by what it points to.
Result<FileStat> statPath(const QByteArray &path);
QString withSeparator(QString path);

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

} // namespace dyadix::native
