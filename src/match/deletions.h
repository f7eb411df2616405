#pragma once

// Match with a record of the last time two folders were in step: a file deleted on one side is
// not brought back, a file changed on both sides is a conflict, and a time moved by whole hours
// is no change.

#include "match.h"
#include "syncrecord.h"

#include <functional>

namespace dyadix {

struct RecordCounts
{
    std::int64_t deleted = 0;
    std::int64_t conflicts = 0;
    std::int64_t shifted = 0;
};

// Applied to two lists that Match has paired line for line. A name on one side only that Match
// ticked and that was in step at the record, its file unchanged since, was deleted on the
// other side: it is not ticked, and both its lines say so. A pair of which neither file is as
// recorded is a conflict: neither is ticked. A pair of which one file is as recorded and the
// other only an hour or two off in time, its size the same, is unchanged: neither is ticked.
// Every other line keeps what Match gave it.
RecordCounts applyRecord(FileListModel &left, FileListModel &right, const SyncRecord &record, NameRule names);

// The record after a Match: every name in step now (the same date and size on both sides),
// seen in step at `now`; a name of the old record that is still on one side at least, as it
// was; and one the lists could not show (`listed` says which could: the filter, the folders
// read), as it was. A name gone from both sides leaves the record.
SyncRecord recordAfterMatch(const FileListModel &left, const FileListModel &right, const SyncRecord &old, NameRule names,
                            DateStamp now, const std::function<bool(NameView)> &listed);

} // namespace dyadix
