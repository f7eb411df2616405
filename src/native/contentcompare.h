#pragma once

// Comparing the contents of pairs of files on this machine's own file systems.

#include "core/filesystem.h"

#include <vector>

namespace dyadix::native {

// What FileSystem::compareContents does, for files this process may open itself.
std::vector<Result<Contents>> compareFileContents(const std::vector<ContentPair> &pairs,
                                                  const FileSystem::CopyProgress &progress);

} // namespace dyadix::native
