// The floor for each job on this machine: what the bare system calls cost with nothing of the
// program around them. Prints the median in seconds of several warm runs.
//   bench_floor list FOLDER...   readdir and fstatat over every entry of each folder
//   bench_floor tree FOLDER...   the same through each folder's whole tree, descending by openat
//   bench_floor process LEFT RIGHT   the same as a process of its own, once (for dyadix-match)
//   bench_floor copy FROM TO      copy_file_range of every file of FROM into TO
//   bench_floor compare LEFT RIGHT   every file of LEFT read with its namesake in RIGHT and compared, one pair after another
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

long long statAll(const char *folder)
{
    DIR *dir = ::opendir(folder);
    if (dir == nullptr)
        return -1;
    long long bytes = 0;
    while (const dirent *entry = ::readdir(dir)) {
        struct stat st {};
        if (::fstatat(::dirfd(dir), entry->d_name, &st, 0) == 0 && S_ISREG(st.st_mode))
            bytes += st.st_size;
    }
    ::closedir(dir);
    return bytes;
}

// One thread, depth first: each folder opened by openat on its parent's descriptor.
long long statTree(int folder)
{
    DIR *dir = ::fdopendir(folder);
    if (dir == nullptr)
        return -1;
    long long bytes = 0;
    while (const dirent *entry = ::readdir(dir)) {
        if (entry->d_name[0] == '.' && (entry->d_name[1] == 0 || (entry->d_name[1] == '.' && entry->d_name[2] == 0)))
            continue;
        struct stat st {};
        if (::fstatat(::dirfd(dir), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0)
            continue;
        if (S_ISDIR(st.st_mode)) {
            const int inside = ::openat(::dirfd(dir), entry->d_name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW);
            if (inside >= 0)
                bytes += std::max(0LL, statTree(inside));
        } else if (S_ISREG(st.st_mode)) {
            bytes += st.st_size;
        }
    }
    ::closedir(dir);
    return bytes;
}

bool copyAll(const char *from, const char *to)
{
    DIR *dir = ::opendir(from);
    if (dir == nullptr)
        return false;
    const int target = ::open(to, O_RDONLY | O_DIRECTORY);
    while (const dirent *entry = ::readdir(dir)) {
        if (entry->d_name[0] == '.')
            continue;
        const int in = ::openat(::dirfd(dir), entry->d_name, O_RDONLY);
        const int out = ::openat(target, entry->d_name, O_WRONLY | O_CREAT | O_TRUNC, 0644);
        while (in >= 0 && out >= 0 && ::copy_file_range(in, nullptr, out, nullptr, std::size_t(1) << 30, 0) > 0) {
        }
        ::close(in);
        ::close(out);
    }
    ::close(target);
    ::closedir(dir);
    return true;
}

// Reads both files of every pair, a block of each at a time, up to the first difference.
long long compareAll(const char *left, const char *right)
{
    DIR *dir = ::opendir(left);
    const int other = ::open(right, O_RDONLY | O_DIRECTORY);
    if (dir == nullptr || other < 0)
        return -1;
    static std::vector<char> first(1 << 17), second(1 << 17);
    long long same = 0;
    while (const dirent *entry = ::readdir(dir)) {
        if (entry->d_name[0] == '.')
            continue;
        const int a = ::openat(::dirfd(dir), entry->d_name, O_RDONLY), b = ::openat(other, entry->d_name, O_RDONLY);
        bool equal = a >= 0 && b >= 0;
        for (;;) {
            const ssize_t m = equal ? ::read(a, first.data(), first.size()) : 0, n = equal ? ::read(b, second.data(), second.size()) : 0;
            equal = m == n && m >= 0 && std::memcmp(first.data(), second.data(), std::size_t(std::max<ssize_t>(m, 0))) == 0;
            if (!equal || m <= 0)
                break;
        }
        same += equal;
        ::close(a);
        ::close(b);
    }
    ::close(other);
    ::closedir(dir);
    return same;
}

template <typename Work>
double median(int runs, Work work)
{
    std::vector<double> seconds;
    for (int run = 0; run <= runs; ++run) {
        const auto start = std::chrono::steady_clock::now();
        work();
        if (run > 0) // the first run warms the caches
            seconds.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(seconds.begin(), seconds.end());
    return seconds[seconds.size() / 2];
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc >= 3 && std::strcmp(argv[1], "list") == 0) {
        std::printf("%.4f\n", median(5, [&] {
                        for (int i = 2; i < argc; ++i)
                            statAll(argv[i]);
                    }));
        return 0;
    }
    if (argc >= 3 && std::strcmp(argv[1], "tree") == 0) {
        std::printf("%.4f\n", median(5, [&] {
                        for (int i = 2; i < argc; ++i)
                            statTree(::open(argv[i], O_RDONLY | O_DIRECTORY));
                    }));
        return 0;
    }
    if (argc == 4 && std::strcmp(argv[1], "process") == 0)
        return statAll(argv[2]) >= 0 && statAll(argv[3]) >= 0 ? 0 : 2;
    if (argc == 4 && std::strcmp(argv[1], "compare") == 0) {
        std::printf("%.4f\n", median(5, [&] { compareAll(argv[2], argv[3]); }));
        return 0;
    }
    if (argc == 4 && std::strcmp(argv[1], "copy") == 0)
        return copyAll(argv[2], argv[3]) ? 0 : 2;
    std::fprintf(stderr, "usage: bench_floor list|tree FOLDER... | process LEFT RIGHT | copy|compare FROM TO\n");
    return 2;
}
