// Creates the benchmarks' folders under ROOT: list/ with 100,000 files; left/ and right/ with
// 100,000 files each, half of the names in both, a quarter of those newer on the left;
// treeleft/ and treeright/ with 100,000 empty files each in 2,000 folders (40 of 50 each), a
// third of the names in both, a ninth of those newer on the left.
// With --large first: bigleft/ and bigright/ with 1,000,000 empty files each, a third of the
// names in both, a ninth of those newer on the left, the files about half a minute apart; and
// bigtreeleft/ and bigtreeright/ with the same files in 20,000 folders (100 of 200 each).
// With --contents first: cmpbigleft/ and cmpbigright/ with 2,000 files of 512 KiB each, and
// cmpsmallleft/ and cmpsmallright/ with 100,000 files of 1 KiB each: the same names and
// contents on both sides, the left's a day later.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool makeFile(const std::string &path, long size, time_t modified, char fill = 0)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    char block[4096];
    std::memset(block, fill, sizeof block);
    bool ok = true;
    for (long done = 0; ok && done < size;) {
        const long n = size - done < long(sizeof block) ? size - done : long(sizeof block);
        ok = ::write(fd, block, size_t(n)) == n;
        done += n;
    }
    const struct timespec times[2] = {{modified, 0}, {modified, 0}};
    ok = ok && ::futimens(fd, times) == 0;
    return ::close(fd) == 0 && ok;
}

// Both sides of one large pair, flat or in folders of FilesPerFolder files.
bool makeLarge(const std::string &root, const char *pair, bool tree)
{
    constexpr int Files = 1000000, Tops = 100, Subs = 200, FilesPerFolder = Files / (Tops * Subs);
    const time_t base = 1700000000;
    char path[160];
    for (const char *side : {"left", "right"}) {
        std::snprintf(path, sizeof path, "%s/%s%s", root.c_str(), pair, side);
        ::mkdir(path, 0755);
        for (int top = 0; tree && top < Tops; ++top) {
            std::snprintf(path, sizeof path, "%s/%s%s/Year %03d", root.c_str(), pair, side, top);
            ::mkdir(path, 0755);
            for (int sub = 0; sub < Subs; ++sub) {
                std::snprintf(path, sizeof path, "%s/%s%s/Year %03d/Month %03d", root.c_str(), pair, side, top, sub);
                ::mkdir(path, 0755);
            }
        }
    }
    for (int i = 0; i < Files; ++i) {
        const int top = i / (Subs * FilesPerFolder), sub = (i / FilesPerFolder) % Subs;
        const bool shared = i % 3 == 0;
        for (const char *side : {"left", "right"}) {
            const bool left = side[0] == 'l';
            char folder[64] = "";
            if (tree)
                std::snprintf(folder, sizeof folder, "/Year %03d/Month %03d", top, sub);
            std::snprintf(path, sizeof path, "%s/%s%s%s/%s %07d.dat", root.c_str(), pair, side, folder,
                          shared ? "shared" : side, i);
            if (!makeFile(path, 0, base + time_t(i) * 29 + (left && shared && i % 9 == 0 ? 86400 : 0)))
                return false;
        }
    }
    return true;
}

} // namespace

// The same files on both sides, the left's a day later, of one size and each of its own byte.
bool makeEqualPairs(const std::string &root, const char *pair, int files, long size)
{
    const time_t base = 1700000000;
    char name[64];
    for (const char *side : {"left", "right"}) {
        const std::string folder = root + "/" + pair + side;
        ::mkdir(folder.c_str(), 0755);
        for (int i = 0; i < files; ++i) {
            std::snprintf(name, sizeof name, "/file %06d.bin", i);
            if (!makeFile(folder + name, size, base + (side[0] == 'l' ? 86400 : 0), char('A' + i % 26)))
                return false;
        }
    }
    return true;
}

int main(int argc, char *argv[])
{
    if (argc == 3 && std::strcmp(argv[1], "--contents") == 0)
        return makeEqualPairs(argv[2], "cmpbig", 2000, 512 * 1024) && makeEqualPairs(argv[2], "cmpsmall", 100000, 1024) ? 0 : 1;
    if (argc == 3 && std::strcmp(argv[1], "--large") == 0) {
        const std::string root = argv[2];
        return makeLarge(root, "big", false) && makeLarge(root, "bigtree", true) ? 0 : 1;
    }
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s [--large|--contents] ROOT\n", argv[0]);
        return 2;
    }
    const std::string root = argv[1];
    constexpr int Files = 100000;
    const time_t base = 1700000000;
    for (const char *folder : {"/list", "/left", "/right"})
        ::mkdir((root + folder).c_str(), 0755);
    char name[64];
    for (int i = 0; i < Files; ++i) {
        std::snprintf(name, sizeof name, "/Document %06d.txt", i);
        if (!makeFile(root + "/list" + name, i % 500, base + i * 7))
            return 1;
        // Even numbers are shared; every fourth shared name is newer on the left.
        const bool shared = i % 2 == 0;
        std::snprintf(name, sizeof name, shared ? "/shared %06d.dat" : "/left %06d.dat", i);
        if (!makeFile(root + "/left" + name, 100, base + (shared && i % 8 == 0 ? 86400 : 0)))
            return 1;
        std::snprintf(name, sizeof name, shared ? "/shared %06d.dat" : "/right %06d.dat", i);
        if (!makeFile(root + "/right" + name, 100, base))
            return 1;
    }
    for (const char *side : {"/treeleft", "/treeright"}) {
        ::mkdir((root + side).c_str(), 0755);
        for (int top = 0; top < 40; ++top) {
            std::snprintf(name, sizeof name, "/%s/Year %02d", side + 1, top);
            ::mkdir((root + name).c_str(), 0755);
            for (int sub = 0; sub < 50; ++sub) {
                std::snprintf(name, sizeof name, "/%s/Year %02d/Month %02d", side + 1, top, sub);
                ::mkdir((root + name).c_str(), 0755);
            }
        }
    }
    for (int i = 0; i < Files; ++i) {
        const int top = i / 2500, sub = (i / 50) % 50;
        const bool shared = i % 3 == 0;
        char file[128];
        for (const char *side : {"treeleft", "treeright"}) {
            const bool left = side[4] == 'l';
            std::snprintf(file, sizeof file, "/%s/Year %02d/Month %02d/%s %06d.jpg", side, top, sub,
                          shared ? "shared" : left ? "left" : "right", i);
            if (!makeFile(root + file, 0, base + (left && shared && i % 9 == 0 ? 86400 : 0)))
                return 1;
        }
    }
    return 0;
}
