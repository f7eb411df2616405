#include "nameorder.h"

#include <algorithm>
#include <cstring>

namespace dyadix {

int compareNames(QStringView a, QStringView b)
{
    const char16_t *x = a.utf16();
    const char16_t *y = b.utf16();
    const qsizetype common = std::min(a.size(), b.size());
    qsizetype i = 0;
    // Names often share a long beginning: skip it four units at a time.
    while (i + 4 <= common && std::memcmp(x + i, y + i, 4 * sizeof(char16_t)) == 0)
        i += 4;
    for (; i < common; ++i) {
        if (x[i] == y[i])
            continue;
        const char32_t fx = foldUnit(x[i]);
        const char32_t fy = foldUnit(y[i]);
        if (fx != fy)
            return fx < fy ? -1 : 1;
    }
    return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

} // namespace dyadix
