#include "xattrcopy.h"

#include "core/filesystem.h"

#include <cerrno>
#include <cstring>
#include <sys/xattr.h>
#include <unistd.h>
#include <vector>

namespace dyadix::native {

namespace {

int kindOf(const char *name)
{
    if (std::strncmp(name, "user.", 5) == 0)
        return AttributeKind::User;
    if (std::strncmp(name, "system.posix_acl_", 17) == 0)
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
    const std::vector<char> names = namesOf(in);
    std::vector<char> value;
    int lost = 0;
    for (std::size_t at = 0; at < names.size(); at += std::strlen(names.data() + at) + 1) {
        const char *name = names.data() + at;
        const ssize_t size = ::fgetxattr(in, name, nullptr, 0);
        if (size < 0)
            continue; // gone meanwhile
        value.resize(std::size_t(size));
        const ssize_t got = ::fgetxattr(in, name, value.data(), value.size());
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
