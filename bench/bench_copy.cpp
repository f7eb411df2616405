// Copies 1 GiB as one file and as 10,000 files with the program's safe copy and with
// `cp --preserve=timestamps`, warm, several times each, and prints the medians and the
// throughput ratio (cp's time over ours: 1.0 means as fast as cp).
#include "runtime/nativefilesystem.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
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

void run(const char *label, const QString &from, const QString &to, const QStringList &names,
         int rounds)
{
    NativeFileSystem fs;
    std::vector<double> ours, theirs;
    for (int round = 0; round < rounds; ++round) {
        QDir(to).removeRecursively();
        QDir().mkpath(to);
        ::sync(); // no write-back of the last round runs beside this one
        ours.push_back(timed([&] {
            for (const QString &name : names) {
                if (!fs.FileCopy(from + '/' + name, to + '/' + name)) {
                    std::fprintf(stderr, "copy of %s failed\n", qPrintable(name));
                    std::exit(2);
                }
            }
        }));
        QDir(to).removeRecursively();
        QDir().mkpath(to);
        ::sync();
        const QByteArray command = "cp -r --preserve=timestamps " + QFile::encodeName(from) + "/. "
            + QFile::encodeName(to) + "/";
        theirs.push_back(timed([&] {
            if (std::system(command.constData()) != 0)
                std::exit(2);
        }));
    }
    const double a = median(ours), b = median(theirs);
    std::printf("%s: dyadix %.3f s, cp %.3f s, throughput ratio %.2f\n", label, a, b, b / a);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
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
    run("copy 1 GiB, one file", big, work.path() + "/out", {"one.bin"}, 3);
    run("copy 1 GiB, 10,000 files", many, work.path() + "/out", manyNames, 3);
    return 0;
}
