#include "nameorder.h"

#include <algorithm>
#include <cstring>
#include <type_traits>

namespace dyadix {

namespace {

template<typename A, typename B>
int compareUnits(const A *x, qsizetype xSize, const B *y, qsizetype ySize, bool fold)
{
    const qsizetype common = std::min(xSize, ySize);
    qsizetype i = 0;
    // Names often share a long beginning: where both are kept alike, it is skipped four
    // units at a time.
    if constexpr (std::is_same_v<A, B>) {
        while (i + 4 <= common && std::memcmp(x + i, y + i, 4 * sizeof(A)) == 0)
            i += 4;
    }
    for (; i < common; ++i) {
        const char16_t ux = char16_t(x[i]), uy = char16_t(y[i]);
        if (ux == uy)
            continue;
        const char32_t fx = fold ? foldUnit(ux) : ux;
        const char32_t fy = fold ? foldUnit(uy) : uy;
        if (fx != fy)
            return fx < fy ? -1 : 1;
    }
    return xSize < ySize ? -1 : (xSize > ySize ? 1 : 0);
}

int compareViews(NameView a, NameView b, bool fold)
{
    if (a.wide && b.wide)
        return compareUnits(a.utf16(), a.size, b.utf16(), b.size, fold);
    if (a.wide)
        return compareUnits(a.utf16(), a.size, b.bytes(), b.size, fold);
    if (b.wide)
        return compareUnits(a.bytes(), a.size, b.utf16(), b.size, fold);
    return compareUnits(a.bytes(), a.size, b.bytes(), b.size, fold);
}

} // namespace

int compareNames(QStringView a, QStringView b)
{
    return compareUnits(a.utf16(), a.size(), b.utf16(), b.size(), true);
}

QString NameView::toString() const
{
    return wide ? QStringView(utf16(), size).toString()
                : QString::fromLatin1(static_cast<const char *>(data), size);
}

void NameView::appendTo(QString &text) const
{
    if (wide)
        text += QStringView(utf16(), size);
    else
        text += QLatin1StringView(static_cast<const char *>(data), size);
}

int compareNameViews(NameView a, NameView b)
{
    return compareViews(a, b, true);
}

int compareNameViewsExactly(NameView a, NameView b)
{
    return compareViews(a, b, false);
}

} // namespace dyadix
