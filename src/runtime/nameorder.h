#pragma once

#include <QChar>
#include <QStringView>

namespace dyadix {

// Simple case folding of one UTF-16 unit, with a quick path for ASCII.
inline char32_t foldUnit(char16_t unit)
{
    if (unit < 0x80)
        return (unit >= u'A' && unit <= u'Z') ? char32_t(unit + 32) : char32_t(unit);
    return QChar::toCaseFolded(char32_t(unit));
}

// The one order of names used by the file lists, by Match and by a tree walk: without regard
// to case, and a name that begins another name comes first.
int compareNames(QStringView a, QStringView b);

} // namespace dyadix
