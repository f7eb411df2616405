#include "paneentry.h"

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
    if (placeholder)
        return name + QLatin1String("\t\t");
    return name + QLatin1Char('\t') + dateText + QLatin1Char('\t') + sizeText(size);
}

int compareNames(QStringView a, QStringView b)
{
    return a.compare(b, Qt::CaseInsensitive);
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
