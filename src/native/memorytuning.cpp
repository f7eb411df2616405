#include "memorytuning.h"

#include <cstdlib> // defines __GLIBC__ where the C library is glibc

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace dyadix {

void keepLargeBlocksApart()
{
#if defined(__GLIBC__)
    constexpr int LargeBlock = 256 * 1024;
    mallopt(M_MMAP_THRESHOLD, LargeBlock);
    mallopt(M_TRIM_THRESHOLD, 4 * LargeBlock);
#endif
}

} // namespace dyadix
