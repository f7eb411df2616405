// Starts the program: the file helper, then the window on this machine's services.
#include "mainwindow.h"
#include "services.h"
#include "native/memorytuning.h"
#include <QApplication>

int main(int argc, char *argv[])
{
    dyadix::IsolatedFileSystem::startHelper();
    dyadix::keepLargeBlocksApart();
    QApplication application(argc, argv);
    dyadix::Services services;
    dyadix::MainWindow window(services);
    return window.start() ? QApplication::exec() : 0;
}
