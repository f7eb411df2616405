#include "matchtool.h"

#include "runtime/nativefilesystem.h"

#include <QCoreApplication>

#include <cstdio>
#include <malloc.h>
#include <unistd.h>

int main(int argc, char *argv[])
{
    // Freed blocks stay with the process for reuse: a run allocates and drops lists of
    // 100,000s of lines, and fresh pages cost more than reused ones.
    mallopt(M_MMAP_THRESHOLD, 512 * 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, 512 * 1024 * 1024);
    QCoreApplication application(argc, argv);
    dyadix::NativeFileSystem fileSystem;
    const int code = dyadix::runMatchTool(QCoreApplication::arguments(), fileSystem, stdout, stderr);
    // Everything is written; giving the lists' memory back one string at a time is not needed.
    std::fflush(nullptr);
    ::_exit(code);
}
