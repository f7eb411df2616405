// Lists both panes on a folder of 100,000 files each and matches them, through the real window
// (offscreen, its widgets showing the lists) and through the window model alone, and prints
// the medians of several warm runs: "window model" in seconds, then the longest time in
// milliseconds that the window's event loop did not run (the window could not repaint)
// during the window's runs. With "tree" after the folders,
// "Include Subfolders" is on: each pane lists its folder's whole tree, and the figure is Match
// on its own, which lists both trees again and matches them.
#include "app/mainwindow.h"
#include "form/formmodel.h"

#include "quietservices.h"
#include "native/memorytuning.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

using namespace dyadix;
using namespace dyadix::bench;

int main(int argc, char *argv[])
{
    keepLargeBlocksApart(); // as the program does
    QApplication application(argc, argv);
    if (argc != 4 && !(argc == 5 && qstrcmp(argv[4], "tree") == 0))
        return 2;
    const QString left = QString::fromLocal8Bit(argv[1]), right = QString::fromLocal8Bit(argv[2]),
                  away = QString::fromLocal8Bit(argv[3]);
    BenchServices services;
    MainWindow window(services.fileSystem, &services.prompter, services.settings, services.shell,
                      services.program);
    window.show();
    QCoreApplication::processEvents();
    SilentHost host;
    FormModel model(services.fileSystem, services.prompter, services.settings, services.shell, host,
                    services.program);
    window.form().mnuOptionSubfolders.setChecked(argc == 5);
    model.mnuOptionSubfolders.setChecked(argc == 5);
    // For the trees, what Match does on its own: it lists both panes again, then matches.
    const auto matchAlone = [&](FormModel &form) {
        form.mnuMatch_Click();
        QCoreApplication::processEvents();
        return form.pane(1).lstFiles.ListCount() >= 100000;
    };
    const bool tree = argc == 5;
    if (tree && !(listAndMatch(window.form(), left, right, away) && listAndMatch(model, left, right, away)))
        return 3;
    // A timer every 10 ms notes the longest gap between its turns while the window works.
    QElapsedTimer sinceTurn;
    qint64 longestPause = 0;
    QTimer turns;
    QObject::connect(&turns, &QTimer::timeout, [&] {
        longestPause = std::max(longestPause, sinceTurn.restart());
    });
    turns.start(10);
    sinceTurn.start();
    const double windowTime = median([&] { return tree ? matchAlone(window.form()) : listAndMatch(window.form(), left, right, away); });
    turns.stop();
    const double modelTime = median([&] { return tree ? matchAlone(model) : listAndMatch(model, left, right, away); });
    std::printf("%.4f %.4f %lld\n", windowTime, modelTime, static_cast<long long>(longestPause));
    return windowTime > 0 && modelTime > 0 ? 0 : 3;
}
