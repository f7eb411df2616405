#pragma once

// The path list's commands: add, edit, remove and recall a path set.

#include "recallslots.h"

#include "panes/pane.h"
#include "core/prompter.h"

namespace dyadix {

// The window's parts that the path list's commands read and write.
struct PathContext
{
    Prompter &prompter;
    RecallSlots &recall;
    Pane &left;
    Pane &right;
    TextBox &txtSelect;
};

// Puts a path set on top of the list (or moves it there when already listed, letter case
// aside); the first letters of both paths become capitals, in the caller's variables too.
void AddPathToList(RecallSlots &recall, QString &Path1, const QString &WCard, QString &Path2);

// Recalls slot Index: the filter, then the Left drive and folder, then the Right ones.
void recallPathSet(PathContext &context, int Index);
// Adds the panes' folders and the filter as a path set.
void addCurrentPaths(PathContext &context);
// Asks for a slot to edit in place, or for a new path set to add.
void editPathSet(PathContext &context);
// Asks for a slot to remove; the recall below move up.
void removePathSet(PathContext &context);

} // namespace dyadix
