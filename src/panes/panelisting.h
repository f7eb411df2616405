#pragma once

// A pane's listing: its folder (or tree) read into its file list under the filter.

#include "mousepointer.h"
#include "pane.h"

#include "core/errortrap.h"
#include "core/filesystem.h"

#include <functional>

namespace dyadix {

// What a listing needs of the window beyond its controls.
class ListingHost
{
public:
    virtual ~ListingHost() = default;
    virtual void setMousePointer(MousePointer pointer) = 0;
    // Lets the window repaint and hear its close request; the user's other input to the window
    // is dropped until the listing is over.
    virtual void processEvents() = 0;
};

enum class Subfolders { Excluded, Included };

// The window's parts that one listing reads and writes.
struct ListingContext
{
    FileSystem &fileSystem;
    Prompter &prompter;
    ListingHost &host;
    Pane &pane;
    TextBox &otherStatus;
    TextBox &txtSelect;
    // Makes the pane's copy, move and delete unavailable.
    std::function<void()> disableCommands;
    // Switches synchronised scrolling off.
    std::function<void()> stopSynchronisedScrolling;
    // The folder-following step, run under the listing's error prompt with the folder text
    // while folders are synchronised; empty otherwise.
    std::function<void(ErrorTrap &, const QString &)> followStep;
    // Whether the folder's whole tree is listed, each file named by its path below the folder.
    Subfolders subfolders = Subfolders::Excluded;
    // Hears how many files a tree listing has found as it goes; answers false when the user
    // stopped it (the files listed so far stay).
    std::function<bool(std::int64_t files)> progress;
};

// How often a long listing lets the window repaint.
constexpr int ListingRepaintMilliseconds = 50;

// Refills the pane's file list from its folder under the filter, writes the status line and
// its colours, disables the pane's commands, runs the follow step when folders are
// synchronised, and switches synchronised scrolling off. With subfolders included, the status
// box counts the files found so far while a long listing runs, and a subfolder that cannot be
// read brings the listing's prompt with its path (Ignore leaves it out).
void listPane(ListingContext &context);

// The status line of a listing.
QString listingStatus(std::int64_t count, std::int64_t total, const QString &earliest,
                      const QString &latest);

} // namespace dyadix
