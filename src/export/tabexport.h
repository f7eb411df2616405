#pragma once

// Both lists written side by side to a tab-delimited file.

#include "panes/mousepointer.h"
#include "panes/pane.h"

#include "core/filesystem.h"
#include "core/prompter.h"
#include "core/settingsstore.h"

#include <QByteArray>

#include <functional>

namespace dyadix {

// The window's parts that the export reads and writes.
struct ExportContext
{
    FileSystem &fileSystem;
    Prompter &prompter;
    SettingsStore &settings;
    const QString &SettingsApp;
    const QString &SettingsSection;
    Pane &left;
    Pane &right;
    // The file name offered when none is stored.
    QString defaultFileName;
    // Shows the hourglass while the file is written.
    std::function<void(MousePointer)> setMousePointer;
};

// Both lists side by side as the export writes them: the two folders, an empty line, the
// header, then one row per line index (Left line, marker, Right line), each line ended by
// CR LF, in the system's encoding (file names keep their bytes). A name or folder that holds
// a TAB, a line end or a double quote is written in double quotes, each quote doubled.
QByteArray exportContent(const Pane &left, const Pane &right);
// The same bytes handed over a block at a time, so that a long export is never held whole;
// false where `take` refused a block (the rest is not made).
bool exportChunks(const Pane &left, const Pane &right, const std::function<bool(const QByteArray &)> &take);

// Asks for a file name and writes the export there, replacing an existing file only once the
// new one is complete; the name is remembered when the export succeeds.
void exportToFile(ExportContext &context);

} // namespace dyadix
