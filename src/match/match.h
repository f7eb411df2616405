#pragma once

// Match: pairs the two lists by name and ticks what should be carried over.

#include "panes/filelistmodel.h"

#include "core/filesystem.h"

#include <cstdint>

namespace dyadix {

enum class MarkNewer { On, Off };

// Whether the two lists may take their new lines at once, on two threads: only for lists that
// no view shows.
enum class Merging { OneByOne, AtOnce };

// What the listings could not read on each side (Pane::unread).
struct Unread
{
    QStringList left;
    QStringList right;
};

// How names pair: exactly, where both folders' file systems tell case apart; else without
// regard to case.
enum class NameRule { IgnoreCase, Exact };

// Exact where both folders' file systems tell case apart.
inline NameRule nameRuleOf(FileSystem &fileSystem, const QString &left, const QString &right)
{
    return fileSystem.namesFoldCase(left) || fileSystem.namesFoldCase(right) ? NameRule::IgnoreCase : NameRule::Exact;
}

// What one walk did, for the callers that report it.
struct MatchCounts
{
    std::int64_t pairs = 0;
    std::int64_t onlyLeft = 0;
    std::int64_t onlyRight = 0;
    // Pairs of one time and two sizes.
    std::int64_t conflicts = 0;
};

// Pairs two file lists by name, walking both from their last line up. Of two files with the
// same name the later one is ticked (the earlier with MarkNewer::Off) and of equal times
// neither; a file in one list only is ticked and its name is added, without date and size, to
// the other list. Afterwards both lists hold the same names line for line. Every tick goes
// through the lists' setSelected; each ticked line's tool tip says why it is ticked. A pair of
// one time and two sizes is marked as a conflict on both lines; a pair of one size whose times
// are a whole hour or two apart says so on both. A file in one list only, where the other side
// could not read it or its folder, is not ticked: its note says what could not be read. Names
// pair by `names`; without regard to case, two names on one side that are one name but for
// case are marked as a collision and not ticked. Names that are one in another Unicode form
// (composed or decomposed) pair too.
MatchCounts matchLists(FileListModel &left, FileListModel &right, MarkNewer markNewer,
                       Merging merging = Merging::OneByOne, const Unread &unread = {},
                       NameRule names = NameRule::IgnoreCase);

// "Times differ by exactly 1 hour: ..." for a pair an hour or two apart.
QString hourShiftNote(int hours);

// "Later than the other pane's copy by 3 hours" and the like, from two times in seconds.
QString tickReasonFor(std::int64_t mine, std::int64_t other);

} // namespace dyadix
