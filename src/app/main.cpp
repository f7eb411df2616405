#include "mainwindow.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    dyadix::MainWindow window;
    return window.start() ? QApplication::exec() : 0;
}
