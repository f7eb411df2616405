// Lists one folder into a pane with the window's own listing code and prints the median time
// in seconds of several warm runs.
#include "form/formmodel.h"

#include "quietservices.h"

#include <QGuiApplication>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

using namespace dyadix;
using namespace dyadix::bench;

int main(int argc, char *argv[])
{
    QGuiApplication application(argc, argv);
    if (argc != 2)
        return 2;
    BenchServices services;
    SilentHost host;
    FormModel form(services.fileSystem, services.prompter, services.settings, services.shell, host,
                   services.program);
    const QString folder = QString::fromLocal8Bit(argv[1]);
    std::vector<double> seconds;
    for (int run = 0; run < 6; ++run) {
        const auto start = std::chrono::steady_clock::now();
        if (!form.pane(1).dirList.setPath(folder))
            return 2;
        seconds.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        if (form.pane(1).lstFiles.ListCount() != 100000)
            return 3;
    }
    seconds.erase(seconds.begin()); // the first run warms the caches
    std::sort(seconds.begin(), seconds.end());
    std::printf("%.4f\n", seconds[seconds.size() / 2]);
    return 0;
}
