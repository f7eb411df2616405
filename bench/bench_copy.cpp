// Copies 1 GiB as one file and as 10,000 files with the program's safe copy and with
// `cp --preserve=timestamps`, warm, several times each, and prints the medians and the
// throughput ratio (cp's time over ours: 1.0 means as fast as cp). Then what a complete copy
// and a safe move cost: a sparse file against cp, files with attributes against cp -a, and a
// move from a memory disk (/dev/shm) to the disk against mv, which flushes nothing.
#include "native/isolatedfilesystem.h"
#include "native/nativefilesystem.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <vector>

using namespace dyadix;

namespace {

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double timed(const std::function<void()> &work)
{
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

bool writeBytes(const QString &path, qint64 size)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QByteArray block(1 << 20, '\0');
    for (int i = 0; i < block.size(); ++i)
        block[i] = char((i * 131) % 251);
    for (qint64 written = 0; written < size;) {
        const qint64 n = std::min<qint64>(block.size(), size - written);
        if (file.write(block.constData(), n) != n)
            return false;
        written += n;
    }
    return true;
}

// Reads the files through once, so that each run copies from the page cache.
void readThrough(const QString &from, const QStringList &names)
{
    std::vector<char> buffer(std::size_t(1) << 20);
    for (const QString &name : names) {
        QFile file(from + '/' + name);
        if (file.open(QIODevice::ReadOnly))
            while (file.read(buffer.data(), qint64(buffer.size())) > 0) {
            }
    }
}

// Starts every run alike: an empty target folder, all that was written so far on the disk
// and, where the benchmark may (as root), the caches emptied and the source read back in.
// ext4 passes over inodes freed in the last half minute while their table blocks are cached,
// so without the emptying each run pays for the files that the last removal freed, by an
// amount that depends on what ran before rather than on the tool.
bool freshStart(const QString &from, const QStringList &names, const QString &to)
{
    QDir(to).removeRecursively();
    QDir().mkpath(to);
    ::sync();
    QFile dropCaches(QStringLiteral("/proc/sys/vm/drop_caches"));
    const bool dropped = dropCaches.open(QIODevice::WriteOnly) && dropCaches.write("3\n") == 2;
    dropCaches.close();
    if (dropped)
        readThrough(from, names);
    return dropped;
}

// The floor: the kernel's copy of each file's content into a new file, nothing else.
bool bareCopy(const QString &from, const QString &to, const QStringList &names)
{
    for (const QString &name : names) {
        const int in = ::open(QFile::encodeName(from + '/' + name).constData(), O_RDONLY);
        const int out = ::open(QFile::encodeName(to + '/' + name).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        bool ok = in >= 0 && out >= 0;
        for (ssize_t n = 1; ok && n > 0;) {
            n = ::copy_file_range(in, nullptr, out, nullptr, std::size_t(1) << 30, 0);
            ok = n >= 0;
        }
        ::close(in);
        ::close(out);
        if (!ok)
            return false;
    }
    return true;
}

// Medians of several runs of each, the three taking turns at going first.
void run(const char *label, const QString &from, const QString &to, const QStringList &names,
         int rounds, FileSystem &fs)
{
    const auto ours = [&] {
        for (const QString &name : names) {
            if (!fs.FileCopy(from + '/' + name, to + '/' + name)) {
                std::fprintf(stderr, "copy of %s failed\n", qPrintable(name));
                std::exit(2);
            }
        }
    };
    const QByteArray command = "cp -r --preserve=timestamps " + QFile::encodeName(from) + "/. "
        + QFile::encodeName(to) + "/";
    const auto theirs = [&] {
        if (std::system(command.constData()) != 0)
            std::exit(2);
    };
    const auto floor = [&] {
        if (!bareCopy(from, to, names))
            std::exit(2);
    };
    std::vector<double> ourTimes, theirTimes, floorTimes;
    bool dropped = true;
    for (int round = 0; round < rounds; ++round) {
        for (int turn = 0; turn < 3; ++turn) {
            dropped = freshStart(from, names, to) && dropped;
            switch ((round + turn) % 3) {
            case 0: ourTimes.push_back(timed(ours)); break;
            case 1: theirTimes.push_back(timed(theirs)); break;
            default: floorTimes.push_back(timed(floor)); break;
            }
        }
    }
    QDir(to).removeRecursively();
    const double a = median(ourTimes), b = median(theirTimes), c = median(floorTimes);
    std::printf("%s: dyadix %.3f s, cp %.3f s, bare copy_file_range %.3f s; throughput against cp "
                "%.2f (target >= 0.9), time against the floor %.2f%s\n",
                label, a, b, c, b / a, a / c,
                dropped ? "" : " [caches not emptied between runs: run as root for steadier figures]");
}

// Medians of `rounds` runs of ours and theirs in turn, each after `prepare`.
std::pair<double, double> sideBySide(int rounds, const std::function<void()> &prepare,
                                     const std::function<void()> &ours, const QByteArray &theirs)
{
    std::vector<double> a, b;
    for (int round = 0; round < rounds; ++round) {
        prepare();
        a.push_back(timed(ours));
        prepare();
        b.push_back(timed([&] {
            if (std::system(theirs.constData()) != 0)
                std::exit(2);
        }));
    }
    return {median(a), median(b)};
}

// A 2 GiB file holding 1 MiB of data, copied by us and by cp: the time, and the target's blocks
// against the source's.
void sparse(const QString &work, FileSystem &fs)
{
    const QString from = work + "/sparse.img", to = work + "/sparse-copy.img";
    QFile image(from);
    if (!image.open(QIODevice::WriteOnly) || !image.resize(qint64(2) << 30) || !image.seek(qint64(1) << 30)
        || image.write(QByteArray(1 << 20, 'd')) != (1 << 20))
        std::exit(2);
    image.close();
    const auto blocks = [](const QString &path) {
        struct stat st {};
        return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? double(st.st_blocks) : -1.0;
    };
    const auto [ours, theirs] = sideBySide(5, [&] { QFile::remove(to); }, [&] {
        if (!fs.FileCopy(from, to))
            std::exit(2);
    }, "cp " + QFile::encodeName(from) + ' ' + QFile::encodeName(to));
    QFile::remove(to);
    if (!fs.FileCopy(from, to))
        std::exit(2);
    std::printf("copy a 2 GiB file holding 1 MiB of data: dyadix %.3f s, cp %.3f s, ratio %.2f (target <= 1.2); "
                "its blocks against the source's %.2f (target <= 2)\n",
                ours, theirs, ours / theirs, blocks(to) / blocks(from));
    QFile::remove(to);
    QFile::remove(from);
}

// 10,000 files of 10 KiB, each with two user attributes, copied by us and by cp -a.
void withAttributes(const QString &work, FileSystem &fs)
{
    const QString from = work + "/tagged", to = work + "/tagged-copy";
    QDir().mkpath(from);
    QStringList names;
    for (int i = 0; i < 10000; ++i) {
        const QString name = QStringLiteral("t%1.txt").arg(i, 5, 10, QLatin1Char('0'));
        const QByteArray path = QFile::encodeName(from + '/' + name);
        if (!writeBytes(from + '/' + name, 10 * 1024) || ::setxattr(path, "user.xdg.tags", "red", 3, 0) != 0
            || ::setxattr(path, "user.xdg.origin.url", "https://example.com/", 20, 0) != 0)
            std::exit(2);
        names << name;
    }
    const auto [ours, theirs] = sideBySide(5, [&] { QDir(to).removeRecursively(), QDir().mkpath(to); }, [&] {
        for (const QString &name : names) {
            if (!fs.FileCopy(from + '/' + name, to + '/' + name))
                std::exit(2);
        }
    }, "cp -a " + QFile::encodeName(from) + "/. " + QFile::encodeName(to) + "/");
    std::printf("copy 10,000 files with attributes: dyadix %.3f s, cp -a %.3f s, ratio %.2f (target <= 1.1)\n", ours, theirs, ours / theirs);
    QDir(to).removeRecursively();
    QDir(from).removeRecursively();
}

// 10,000 files of 100 KiB moved from a memory disk to the disk: as a move does here (copy, one
// flush of the target's file system for each 256 files, then the sources), and by mv.
void moveFromMemory(const QString &work, FileSystem &fs)
{
    QTemporaryDir memory(QStringLiteral("/dev/shm/dyadix-bench-XXXXXX"));
    if (!memory.isValid()) {
        std::printf("move 10,000 files from a memory disk: skipped (no /dev/shm)\n");
        return;
    }
    const QString from = memory.path() + "/from", to = work + "/moved";
    QStringList names;
    for (int i = 0; i < 10000; ++i)
        names << QStringLiteral("m%1.bin").arg(i, 5, 10, QLatin1Char('0'));
    const auto prepare = [&] {
        QDir(to).removeRecursively();
        QDir().mkpath(to);
        QDir(from).removeRecursively();
        QDir().mkpath(from);
        for (const QString &name : names) {
            if (!writeBytes(from + '/' + name, 100 * 1024))
                std::exit(2);
        }
        ::sync();
    };
    const auto [ours, theirs] = sideBySide(3, prepare, [&] {
        for (qsizetype first = 0; first < names.size(); first += 256) {
            const QStringList some = names.mid(first, 256);
            for (const QString &name : some) {
                if (!fs.FileCopy(from + '/' + name, to + '/' + name))
                    std::exit(2);
            }
            QStringList copies;
            for (const QString &name : some)
                copies << to + '/' + name;
            if (!fs.flushToDisk(copies))
                std::exit(2);
            for (const QString &name : some) {
                if (!fs.Kill(from + '/' + name))
                    std::exit(2);
            }
        }
    }, "mv " + QFile::encodeName(from) + "/* " + QFile::encodeName(to) + "/");
    std::printf("move 10,000 files of 100 KiB from a memory disk to the disk: dyadix %.3f s, mv %.3f s, ratio %.2f (target <= 1.5)\n",
                ours, theirs, ours / theirs);
    QDir(to).removeRecursively();
}

} // namespace

int main(int argc, char *argv[])
{
    IsolatedFileSystem::startHelper(); // as the program does, before any thread
    QCoreApplication application(argc, argv);
    NativeFileSystem native;
    IsolatedFileSystem throughHelper(native, IsolatedFileSystem::Route::Everything);
    const QByteArray base = qgetenv("DYADIX_BENCH_DIR");
    QTemporaryDir work(base.isEmpty() ? QDir::tempPath() + "/dyadix-bench-XXXXXX"
                                      : QString::fromLocal8Bit(base) + "/dyadix-bench-XXXXXX");
    const QString big = work.path() + "/big", many = work.path() + "/many";
    QDir().mkpath(big);
    QDir().mkpath(many);
    if (!writeBytes(big + "/one.bin", qint64(1) << 30))
        return 2;
    QStringList manyNames;
    ::sync();
    for (int i = 0; i < 10000; ++i) {
        const QString name = QStringLiteral("f%1.bin").arg(i, 5, 10, QLatin1Char('0'));
        if (!writeBytes(many + '/' + name, (qint64(1) << 30) / 10000))
            return 2;
        manyNames << name;
    }
    run("copy 1 GiB, one file", big, work.path() + "/out", {"one.bin"}, 5, native);
    run("copy 1 GiB, 10,000 files", many, work.path() + "/out", manyNames, 5, native);
    // What the window's copies onto a network folder go through: each file a request to the
    // program's file helper (local disks are copied in the program itself, as above).
    run("copy 1 GiB, 10,000 files, through the file helper (network folders)", many, work.path() + "/out", manyNames, 5, throughHelper);
    QDir(many).removeRecursively();
    QDir(big).removeRecursively();
    sparse(work.path(), native);
    withAttributes(work.path(), native);
    moveFromMemory(work.path(), native);
    return 0;
}
