#include "shortname.h"

#include <QStringList>

namespace dyadix {

namespace {

const QString Ellipsis = QStringLiteral("\u2026");

// The text with its middle given up for an ellipsis, keeping as much of both ends as fits (the
// end twice as long as the start: it holds the type); never half of a character that takes two.
QString middleShortened(const QString &text, int available, const std::function<int(const QString &)> &width)
{
    for (qsizetype kept = text.size() - 1; kept > 0; --kept) {
        qsizetype head = kept / 3, tail = kept - head;
        if (head > 0 && text.at(head - 1).isHighSurrogate())
            --head;
        if (tail > 0 && text.at(text.size() - tail).isLowSurrogate())
            --tail;
        const QString candidate = text.left(head) + Ellipsis + text.right(tail);
        if (width(candidate) <= available)
            return candidate;
    }
    return Ellipsis;
}

} // namespace

QString shortenedName(const QString &name, int available, const std::function<int(const QString &)> &width)
{
    if (width(name) <= available)
        return name;
    const qsizetype slash = name.lastIndexOf(QLatin1Char('/'));
    if (slash < 0)
        return middleShortened(name, available, width);
    const QString file = name.mid(slash + 1);
    const QStringList folders = name.left(slash).split(QLatin1Char('/'));
    for (qsizetype keep = folders.size() - 1; keep >= 0; --keep) {
        const QString candidate = QStringList(folders.mid(0, keep)).join(QLatin1Char('/')) + (keep > 0 ? QStringLiteral("/") : QString())
            + Ellipsis + QLatin1Char('/') + file;
        if (width(candidate) <= available)
            return candidate;
    }
    // Where even the file's name must be shortened, "…/" stays while it leaves room for a fair
    // part of it; else the ellipsis in the name alone says that there is more.
    const QString prefix = Ellipsis + QLatin1Char('/');
    if (const QString part = middleShortened(file, available - width(prefix), width); part.size() > 8)
        return prefix + part;
    return middleShortened(file, available, width);
}

QString shortDateText(const QString &dateText, int thisYear)
{
    if (dateText.size() != 16 || dateText.at(4) != QLatin1Char('/') || dateText.at(10) != QLatin1Char(' '))
        return dateText;
    return dateText.left(4).toInt() == thisYear ? dateText.mid(5) : dateText.left(10);
}

} // namespace dyadix
