#pragma once

// The bytes of one open file copied into another: the kernel's copy where it can, read and
// write where it cannot.

#include "core/filesystem.h"

#include <cstdint>
#include <utility>

namespace dyadix::native {

// Copies the whole of `in` to `out`, telling the progress as it goes. Returns the bytes copied
// and the errno that stopped it (0: none; ECANCELED: the progress answered false).
std::pair<std::int64_t, int> copyContent(int in, int out, const FileSystem::CopyProgress &progress);

// The same for a file with holes (fewer blocks than its length needs), `size` bytes long: only
// its data is copied, each part to its place, and the holes stay holes in `out`. The bytes
// counted are those of the length covered, holes included.
std::pair<std::int64_t, int> copySparseContent(int in, int out, std::int64_t size,
                                               const FileSystem::CopyProgress &progress);

} // namespace dyadix::native
