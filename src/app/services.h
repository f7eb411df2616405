// What the program runs on outside tests: this machine's file system, settings and desktop.
#pragma once

#include "desktopshell.h"
#include "core/inisettingsstore.h"
#include "core/programinfo.h"
#include "native/isolatedfilesystem.h"
#include "native/nativefilesystem.h"

namespace dyadix {

// The services the window is built on when the program runs: the native file system, with
// network folders reached through the helper process, the settings file, the desktop's web
// browser, and this program's name and version.
struct Services
{
    // This program's name, version and build stamp.
    static ProgramInfo thisProgram();

    NativeFileSystem nativeFileSystem;
    IsolatedFileSystem fileSystem {nativeFileSystem};
    IniSettingsStore settings;
    DesktopShell shell;
    ProgramInfo program = thisProgram();
};

} // namespace dyadix
