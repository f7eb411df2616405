#include "mainwindow.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    dyadix::MainWindow window;
    window.start();
    return QApplication::exec();
}
