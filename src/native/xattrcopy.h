#pragma once

// A file's extended attributes copied onto another: the desktop's tags, labels, access lists.

namespace dyadix::native {

// Copies every extended attribute of `in` onto `out` that `out`'s file system holds and this
// user may set; returns the AttributeKind bits of those that did not arrive (labels that only
// root may set do not count for other users, as cp -a leaves them too).
int copyAttributes(int in, int out);

} // namespace dyadix::native
