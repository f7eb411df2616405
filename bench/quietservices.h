#pragma once

// Services that take no part, so that a benchmark measures the program's own work alone.
#include "form/formhost.h"
#include "core/inisettingsstore.h"
#include "native/nativefilesystem.h"
#include "core/programinfo.h"
#include "core/prompter.h"
#include "core/shell.h"

#include "form/formmodel.h"

#include <QCoreApplication>

#include <algorithm>
#include <chrono>
#include <functional>
#include <vector>

namespace dyadix::bench {

class NoPrompter final : public Prompter
{
public:
    MsgAnswer MsgBox(const QString &, int, const QString &, const QString & = {}) override { return MsgAnswer::Abort; }
    QString InputBox(const QString &, const QString &, const QString &) override { return {}; }
};

// A window that takes no part, for a model that runs without one.
class SilentHost final : public FormHost
{
public:
    WindowFrame windowFrame() override { return {}; }
    void moveWindow(const WindowFrame &) override {}
    int windowState() override { return 0; }
    void setWindowState(int) override {}
    double screenWidth() override { return 0; }
    double screenHeight() override { return 0; }
    void showWindow() override {}
    void focusFilter() override {}
    void unloadWindow() override {}
    void endProgram() override {}
    void setMousePointer(MousePointer) override {}
    void processEvents() override { QCoreApplication::processEvents(); }
};

class NoShell final : public Shell
{
public:
    Result<int> openWebAddress(const QString &) override { return 0; }
};

// What a benchmark's window needs around it: the real file system, the others quiet.
struct BenchServices
{
    NativeFileSystem fileSystem;
    NoPrompter prompter;
    IniSettingsStore settings;
    NoShell shell;
    const ProgramInfo program {"dyadix-bench", 1, 8, 0, ""};
};

// Lists a pane away from the folder and back, so that each run lists again, then matches.
inline bool listAndMatch(FormModel &form, const QString &left, const QString &right, const QString &away)
{
    for (const auto &[pane, folder] : {std::pair {1, left}, std::pair {2, right}}) {
        if (!form.pane(pane).dirList.setPath(away) || !form.pane(pane).dirList.setPath(folder))
            return false;
    }
    form.mnuMatch_Click();
    QCoreApplication::processEvents(); // the window paints what changed
    return form.pane(1).lstFiles.ListCount() >= 100000; // Match adds the lines that one side lacks
}

inline double median(const std::function<bool()> &work)
{
    // Fewer runs for the million-file folders, where one run takes seconds.
    const int runs = qEnvironmentVariableIntValue("DYADIX_BENCH_RUNS") > 1 ? qEnvironmentVariableIntValue("DYADIX_BENCH_RUNS") : 6;
    std::vector<double> seconds;
    for (int run = 0; run < runs; ++run) {
        const auto start = std::chrono::steady_clock::now();
        if (!work())
            return -1;
        if (run > 0)
            seconds.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(seconds.begin(), seconds.end());
    return seconds[seconds.size() / 2];
}

} // namespace dyadix::bench
