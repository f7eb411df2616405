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

namespace {

template<typename A, typename B>
int compareUnits(const A *x, qsizetype xSize, const B *y, qsizetype ySize, bool fold)
{
    const qsizetype common = std::min(xSize, ySize);
    for (qsizetype i = 0; i < common; ++i) {
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
        return fold ? compareNames(QStringView(a.utf16(), a.size), QStringView(b.utf16(), b.size))
                    : compareUnits(a.utf16(), a.size, b.utf16(), b.size, false);
    if (a.wide)
        return compareUnits(a.utf16(), a.size, b.bytes(), b.size, fold);
    if (b.wide)
        return compareUnits(a.bytes(), a.size, b.utf16(), b.size, fold);
    return compareUnits(a.bytes(), a.size, b.bytes(), b.size, fold);
}

} // namespace

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
