#include "mainwindow.h"

#include "native/isolatedfilesystem.h"
#include "native/memorytuning.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    dyadix::IsolatedFileSystem::startHelper();
    dyadix::keepLargeBlocksApart();
    QApplication application(argc, argv);
    dyadix::MainWindow window;
    return window.start() ? QApplication::exec() : 0;
}
