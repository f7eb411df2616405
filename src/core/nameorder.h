#pragma once

// The one order of file names, without regard to case.

#include <QChar>
#include <QString>
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

// A name as a long list keeps it: in UTF-16, or in one byte a character where every character
// is below U+0100 (half the room for most names).
struct NameView
{
    const void *data = nullptr;
    qsizetype size = 0;
    bool wide = true; // UTF-16; else Latin-1

    NameView() = default;
    NameView(QStringView name) : data(name.utf16()), size(name.size()) {}
    static NameView latin1(const char *bytes, qsizetype size) { NameView view; view.data = bytes; view.size = size; view.wide = false; return view; }
    const char16_t *utf16() const { return static_cast<const char16_t *>(data); }
    const unsigned char *bytes() const { return static_cast<const unsigned char *>(data); }
    QString toString() const;
    void appendTo(QString &text) const;
};

// compareNames on names as lists keep them, in whichever form.
int compareNameViews(NameView a, NameView b);
// The order of the characters' codes, case and all (as QStringView::compare with case).
int compareNameViewsExactly(NameView a, NameView b);

} // namespace dyadix
