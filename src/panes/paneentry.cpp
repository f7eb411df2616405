#include "paneentry.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace dyadix {

PaneEntry PaneEntry::listed(QString name, QString dateText, std::int64_t size,
                            std::int64_t modified)
{
    return PaneEntry {std::move(name), std::move(dateText), size, false, modified};
}

PaneEntry PaneEntry::placeholderFor(QString name)
{
    return PaneEntry {std::move(name), QString(), 0, true, 0};
}

QString sizeText(std::int64_t size)
{
    const QString digits = QString::number(size);
    if (digits.size() >= 8)
        return digits;
    return QString(8 - digits.size(), QLatin1Char(' ')) + digits;
}

QString PaneEntry::text() const
{
    QString line;
    line.reserve(name.size() + 28);
    appendText(line);
    return line;
}

void PaneEntry::appendText(QString &line) const
{
    line += name;
    line += QLatin1Char('\t');
    if (placeholder) {
        line += QLatin1Char('\t');
        return;
    }
    line += dateText;
    line += QLatin1Char('\t');
    char digits[24];
    const int length = std::snprintf(digits, sizeof digits, "%8lld", static_cast<long long>(size));
    line += QLatin1String(digits, length);
}

namespace {

// Simple case folding of one UTF-16 unit, with a quick path for ASCII.
inline char32_t foldUnit(char16_t unit)
{
    if (unit < 0x80)
        return (unit >= u'A' && unit <= u'Z') ? char32_t(unit + 32) : char32_t(unit);
    return QChar::toCaseFolded(char32_t(unit));
}

} // namespace

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

bool entryLess(const PaneEntry &a, const PaneEntry &b)
{
    if (const int byName = compareNames(a.name, b.name); byName != 0)
        return byName < 0;
    if (const int byDate = QStringView(a.dateText).compare(QStringView(b.dateText)); byDate != 0)
        return byDate < 0;
    if (a.size != b.size)
        return a.size < b.size;
    if (a.placeholder != b.placeholder)
        return a.placeholder;
    return QStringView(a.name).compare(QStringView(b.name), Qt::CaseSensitive) < 0;
}

} // namespace dyadix

namespace dyadix {

QString displayName(const QString &name)
{
    QString shown;
    for (qsizetype i = 0; i < name.size(); ++i) {
        const char16_t u = name[i].unicode();
        if (u < 0x20) {
            if (shown.isNull())
                shown = name.left(i);
            shown.append(QChar(char16_t(0x2400 + u)));
        } else if (u == 0x7F) {
            if (shown.isNull())
                shown = name.left(i);
            shown.append(QChar(char16_t(0x2421)));
        } else if (QChar::isLowSurrogate(u) && (i == 0 || !name[i - 1].isHighSurrogate())) {
            if (shown.isNull())
                shown = name.left(i);
            shown.append(QChar(char16_t(0xFFFD)));
        } else if (!shown.isNull()) {
            shown.append(QChar(u));
        }
    }
    return shown.isNull() ? name : shown;
}

} // namespace dyadix
