#include "bytecopy.h"

#include "nativeposix.h"

#include <cerrno>
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

} // namespace dyadix::native
