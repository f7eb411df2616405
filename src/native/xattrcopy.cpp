#include "xattrcopy.h"

#include "core/filesystem.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <vector>

namespace dyadix::native {

namespace {

int kindOf(const char *name)
{
    if (std::strncmp(name, "user.", 5) == 0)
        return AttributeKind::User;
    if (std::strncmp(name, "system.", 7) == 0) // POSIX or NFSv4 access lists
        return AttributeKind::Access;
    return AttributeKind::Security;
}

// The names of a file's attributes, each ended by a zero byte.
std::vector<char> namesOf(int fd)
{
    for (;;) {
        const ssize_t size = ::flistxattr(fd, nullptr, 0);
        if (size <= 0)
            return {};
        std::vector<char> names(static_cast<std::size_t>(size));
        const ssize_t got = ::flistxattr(fd, names.data(), names.size());
        if (got >= 0) {
            names.resize(std::size_t(got));
            return names;
        }
        if (errno != ERANGE) // ERANGE: one was added meanwhile
            return {};
    }
}

} // namespace

int copyAttributes(int in, int out)
{
    // A file without an access list of its own keeps none that its new folder's default gave
    // the copy: its permissions are the source's (set after this), as cp -a leaves them.
    struct stat source {};
    if (::fgetxattr(in, "system.posix_acl_access", nullptr, 0) < 0 && errno == ENODATA
        && ::fremovexattr(out, "system.posix_acl_access") == 0 && ::fstat(in, &source) == 0)
        ::fchmod(out, source.st_mode & 0777);
    const std::vector<char> names = namesOf(in);
    std::vector<char> value;
    int lost = 0;
    for (std::size_t at = 0; at < names.size(); at += std::strlen(names.data() + at) + 1) {
        const char *name = names.data() + at;
        ssize_t got = -1;
        for (int attempt = 0; attempt < 3 && got < 0; ++attempt) { // ERANGE: it grew meanwhile
            const ssize_t size = ::fgetxattr(in, name, nullptr, 0);
            if (size < 0)
                break; // gone meanwhile
            value.resize(std::size_t(size));
            got = ::fgetxattr(in, name, value.data(), value.size());
            if (got < 0 && errno != ERANGE)
                break;
        }
        if (got < 0 || ::fsetxattr(out, name, value.data(), std::size_t(got), 0) == 0)
            continue;
        const int kind = kindOf(name);
        // Labels are root's to set: another user's copy goes without them, as cp's does.
        if (kind != AttributeKind::Security || ::geteuid() == 0)
            lost |= kind;
    }
    return lost;
}

} // namespace dyadix::native
