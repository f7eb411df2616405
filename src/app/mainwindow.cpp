#include "mainwindow.h"

namespace dyadix {

MainWindow::MainWindow(QWidget *parent)
    : QMainWindow(parent)
{
    setWindowTitle(QStringLiteral("Dyadix - Windows File-Matching Program"));
    resize(474, 411);
}

void MainWindow::start()
{
    show();
}

} // namespace dyadix
