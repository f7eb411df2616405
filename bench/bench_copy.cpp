// Copies 1 GiB as one file and as 10,000 files with the program's safe copy and with
// `cp --preserve=timestamps`, warm, several times each, and prints the medians and the
// throughput ratio (cp's time over ours: 1.0 means as fast as cp).
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
    return 0;
}
