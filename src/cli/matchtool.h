#pragma once

// dyadix-match: the window's Match and export from the command line.

#include "core/filesystem.h"

#include <QStringList>

#include <cstdio>

namespace dyadix {

// dyadix-match: lists two folders under a filter, matches them and writes the file that the
// window's tab-delimited export would write for the same folders and ticks. What cannot be read
// is reported on `err` and left out, as Ignore leaves it. Returns the exit code: 0 when nothing
// is ticked on either side, 1 when something is or something was left out, 2 on an error.
int runMatchTool(const QStringList &arguments, FileSystem &fileSystem, std::FILE *out, std::FILE *err);

} // namespace dyadix
