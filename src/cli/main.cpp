#include "matchtool.h"

// dyadix-match's start.

#include "native/memorytuning.h"
#include "native/nativefilesystem.h"

#include <QCoreApplication>

#include <cstdio>
#include <unistd.h>

int main(int argc, char *argv[])
{
    dyadix::keepLargeBlocksApart();
    QCoreApplication application(argc, argv);
    dyadix::NativeFileSystem fileSystem;
    const int code = dyadix::runMatchTool(QCoreApplication::arguments(), fileSystem, stdout, stderr);
    // Everything is written; giving the lists' memory back one string at a time is not needed.
    std::fflush(nullptr);
    ::_exit(code);
}
