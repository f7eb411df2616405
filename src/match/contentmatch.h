#pragma once

// Match by contents: the ticked pairs of one size are read, and the same contents untick them.

#include "panes/filelistmodel.h"

#include "core/errortrap.h"
#include "core/filesystem.h"
#include "core/workmonitor.h"

namespace dyadix {

// Where the two lists' files are, and what reads them.
struct ContentCheck
{
    FileSystem &fileSystem;
    WorkMonitor &monitor;
    ErrorTrap &trap;
    QString leftFolder;  // ends in the separator
    QString rightFolder; // ends in the separator
};

// What the comparing did.
struct ContentCounts
{
    int compared = 0;
    int same = 0;
    int notCompared = 0; // left as their times decide: stopped, or aborted at an error
};

// After matchLists: reads both files of every pair with a tick (both lines listed, one size)
// and unticks a pair whose contents are the same, both lines saying so. The work is the
// monitor's ("Comparing file i of n"); a stop or an Abort leaves the pairs not yet read as
// they are. A file that cannot be read brings the trap's prompt with its path; Ignore leaves
// the pair as its times decide.
ContentCounts untickSameContents(FileListModel &left, FileListModel &right, const ContentCheck &check);

// The note on both lines of a pair that comparing unticked.
inline const QString SameContentsNote = QStringLiteral("Same contents, different times");

} // namespace dyadix
