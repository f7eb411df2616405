#pragma once

// Copy, move and delete of the ticked files.

#include "core/workmonitor.h"
#include "panes/pane.h"

#include "core/filesystem.h"
#include "core/prompter.h"

#include <QAction>

#include <functional>

namespace dyadix {

// The window's parts that copy, move and delete read and write.
struct ActionContext
{
    FileSystem &fileSystem;
    Prompter &prompter;
    Pane &left;
    Pane &right;
    QAction &warnBeforeActions;
    QAction &markNewer;
    QAction &warnIfBigger;
    // Deleted and replaced files go to the Trash.
    QAction &deletedToTrash;
    // Sets the window title.
    std::function<void(const QString &)> setCaption;
    // Runs each file's work, shows how far the action is and hears a request to stop.
    WorkMonitor &monitor;
    // Hears each file that a copy or move made the same on both sides (its name, date and
    // size), where anyone listens.
    std::function<void(const PaneEntry &)> broughtInStep = {};
};

// Which way files go, and whether their sources stay.
enum class Direction { LeftToRight, RightToLeft };
enum class Transfer { Copy, Move };

// Copies or moves the ticked files of the source pane into the target pane's folder, asking
// first when "Warn before Actions" is on and before overwriting a target that is newer or
// bigger. A move deletes its source only after the copy has succeeded. A replaced target goes
// to the Trash when "Deleted Files to Trash" is on. Lines acted on are unticked; a file that
// failed (Ignore, Abort) keeps its tick, and its line's note gives the error. No pane is
// listed again. Stopped by the user, the action ends after the current file (or, stopped at
// once, leaves the current file's target as it was and its source in place); lines not done
// stay ticked.
void copyTicked(const ActionContext &context, Direction direction, Transfer transfer);

// Deletes the ticked files of pane Index (1 Left, 2 Right), last line first (into the Trash
// when "Deleted Files to Trash" is on), and takes their lines out of the list; a file that
// could not be deleted keeps its line and tick, and the line's note gives the error.
void deleteTicked(const ActionContext &context, int Index);

// Marks a line whose file a command left undone (`what`: "Not copied"): its note gives the error.
void noteUndone(FileListModel &list, int row, const QString &what, const RunTimeError &error);

// The program's name, which the title shows after a copy, move or delete.
inline const QString ProgramName = QStringLiteral("Dyadix");

} // namespace dyadix
