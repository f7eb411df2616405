// Opens the real window (offscreen) with both panes listing a folder of 100,000 files and
// prints the process's peak resident memory in MiB: before listing, with both panes listed,
// and after a Match. With "tree" after the folders, "Include Subfolders" is on.
#include "app/mainwindow.h"
#include "form/formmodel.h"

#include "quietservices.h"
#include "native/memorytuning.h"

#include <QApplication>
#include <QFile>

#include <cstdio>

using namespace dyadix;
using namespace dyadix::bench;

namespace {

double peakMegabytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    }
    return -1;
}

} // namespace

int main(int argc, char *argv[])
{
    keepLargeBlocksApart(); // as the program does
    QApplication application(argc, argv);
    if (argc != 3 && !(argc == 4 && qstrcmp(argv[3], "tree") == 0))
        return 2;
    BenchServices services;
    MainWindow window(services.fileSystem, &services.prompter, services.settings, services.shell,
                      services.program);
    window.show();
    QCoreApplication::processEvents();
    // What the window takes before it lists anything; the rest is the lists'.
    std::printf("%.1f\n", peakMegabytes());
    FormModel &form = window.form();
    form.mnuOptionSubfolders.setChecked(argc == 4);
    if (!form.pane(1).dirList.setPath(QString::fromLocal8Bit(argv[1]))
        || !form.pane(2).dirList.setPath(QString::fromLocal8Bit(argv[2])))
        return 2;
    QCoreApplication::processEvents();
    std::printf("%.1f %d %d\n", peakMegabytes(), form.pane(1).lstFiles.ListCount(),
                form.pane(2).lstFiles.ListCount());
    form.mnuMatch_Click();
    QCoreApplication::processEvents();
    std::printf("%.1f %d %d\n", peakMegabytes(), form.pane(1).lstFiles.ListCount(),
                form.pane(2).lstFiles.ListCount());
    return 0;
}
