#include "bytecopy.h"

#include "nativeposix.h"

#include <algorithm>
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace dyadix::native {

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

namespace {

// Copies [from, to) of `in` to the same place in `out`: the kernel's copy, else read and write.
int copyRange(int in, int out, std::int64_t from, std::int64_t to, std::int64_t &done,
              const FileSystem::CopyProgress &progress, std::vector<char> &buffer)
{
    constexpr std::int64_t Part = std::int64_t(16) << 20;
    loff_t inAt = from, outAt = from;
    while (inAt < to) {
        const ssize_t n = retried([&] {
            return ::copy_file_range(in, &inAt, out, &outAt, std::size_t(std::min(Part, to - inAt)), 0);
        });
        if (n == -1 && (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP || errno == EBADF || errno == EPERM)) {
            if (buffer.empty())
                buffer.resize(std::size_t(1) << 20);
            const ssize_t r = retried([&] { return ::pread(in, buffer.data(), std::size_t(std::min<std::int64_t>(std::int64_t(buffer.size()), to - inAt)), inAt); });
            if (r <= 0)
                return r == 0 ? 0 : errno;
            for (ssize_t written = 0; written < r;) {
                const ssize_t w = retried([&] { return ::pwrite(out, buffer.data() + written, std::size_t(r - written), outAt + written); });
                if (w == -1)
                    return errno;
                written += w;
            }
            inAt += r, outAt += r;
        } else if (n <= 0) {
            return n == 0 ? 0 : errno; // a file that shrank ends short of its length
        }
        done = inAt;
        if (progress && !progress(done))
            return ECANCELED;
    }
    return 0;
}

} // namespace

std::pair<std::int64_t, int> copySparseContent(int in, int out, std::int64_t size,
                                               const FileSystem::CopyProgress &progress)
{
    std::vector<char> buffer;
    std::int64_t done = 0;
    for (std::int64_t at = 0; at < size;) {
        const off_t data = ::lseek(in, off_t(at), SEEK_DATA);
        if (data == -1 && errno == ENXIO) // only a hole is left
            break;
        const off_t hole = data == -1 ? -1 : ::lseek(in, data, SEEK_HOLE);
        if (hole == -1)
            return {done, errno};
        if (const int error = copyRange(in, out, data, std::min<std::int64_t>(hole, size), done, progress, buffer); error != 0)
            return {done, error};
        if (done < std::min<std::int64_t>(hole, size))
            return {done, 0}; // the file shrank while it was copied
        at = hole;
    }
    // A file whose length changed while it was copied matches neither its old content nor its new.
    struct stat now {};
    if (::fstat(in, &now) != 0)
        return {done, errno};
    if (now.st_size != size)
        return {done, 0};
    // The length, holes at the end included.
    if (::ftruncate(out, off_t(size)) != 0)
        return {done, errno};
    return {size, 0};
}

} // namespace dyadix::native
