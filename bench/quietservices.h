#pragma once

// Services that take no part, so that a benchmark measures the program's own work alone.
#include "form/formhost.h"
#include "core/inisettingsstore.h"
#include "native/nativefilesystem.h"
#include "core/programinfo.h"
#include "core/prompter.h"
#include "core/shell.h"

#include <QCoreApplication>

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

} // namespace dyadix::bench
