#pragma once

// Services that take no part, so that a benchmark measures the program's own work alone.
#include "runtime/inisettingsstore.h"
#include "runtime/nativefilesystem.h"
#include "runtime/programinfo.h"
#include "runtime/prompter.h"
#include "runtime/shell.h"

namespace dyadix::bench {

class NoPrompter final : public Prompter
{
public:
    MsgAnswer MsgBox(const QString &, int, const QString &) override { return MsgAnswer::Abort; }
    QString InputBox(const QString &, const QString &, const QString &) override { return {}; }
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
