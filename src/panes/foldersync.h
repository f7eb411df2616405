#pragma once

// Synchronised folders: each pane follows the other to the counterpart folder.

#include "pane.h"

#include "core/errortrap.h"
#include "core/prompter.h"

#include <QAction>

namespace dyadix {

// The window's parts that folder synchronisation reads and writes.
struct FolderSyncContext
{
    Prompter &prompter;
    QAction &option; // "Synchronize &Folders"
    Pane &left;
    Pane &right;
    QString &LeftRoot;
    QString &RightRoot;
};

// What switching the option does once its check mark has been reversed: when it is on,
// works out each pane's root by cutting the common ending off both folders, asking to move
// the Right pane when the folders end differently.
void switchFolderSync(FolderSyncContext &context);

// After pane Index has been listed on folderText, moves the other pane to the corresponding
// folder of its tree, with the option off meanwhile so that the panes never move each other
// back and forth. Runs under the listing's error prompt.
void followFolder(FolderSyncContext &context, ErrorTrap &trap, int Index, const QString &folderText);

// The folder of the other tree: every occurrence of `from` replaced by `to`, without regard to
// case. An empty `from` stands for the start of the path, so `to` is put in front.
QString counterpartFolder(const QString &folderText, const QString &from, const QString &to);

} // namespace dyadix
