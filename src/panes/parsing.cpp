#include "parsing.h"

#include "core/conversions.h"

namespace dyadix {

void FileDateSize(QString &Fil1, QString &Date1, std::int64_t &Size1)
{
    const qsizetype p1 = Fil1.indexOf(QLatin1Char('\t'));
    if (p1 < 0) {
        Date1.clear();
        Size1 = 0;
        return;
    }
    qsizetype p2 = Fil1.indexOf(QLatin1Char('\t'), p1 + 1);
    if (p2 < 0)
        p2 = Fil1.size();
    Date1 = Fil1.mid(p1 + 1, p2 - p1 - 1);
    const double size = Val(Fil1.mid(p2 + 1));
    Size1 = static_cast<std::int64_t>(size);
    Fil1.truncate(p1);
}

QString trimBlanks(QStringView text)
{
    qsizetype start = 0;
    qsizetype end = text.size();
    while (start < end && text[start] == QLatin1Char(' '))
        ++start;
    while (end > start && text[end - 1] == QLatin1Char(' '))
        --end;
    return text.mid(start, end - start).toString();
}

QString Parse(QString &Line1, const QString &Ch)
{
    const qsizetype p = Ch.isEmpty() ? -1 : Line1.indexOf(Ch.front(), 0, Qt::CaseInsensitive);
    if (p < 0) {
        QString field = trimBlanks(Line1);
        Line1.clear();
        return field;
    }
    QString field = trimBlanks(QStringView(Line1).left(p));
    Line1.remove(0, p + 1);
    return field;
}

QStringList filterPatterns(QString filter)
{
    if (filter.isEmpty())
        filter = QStringLiteral("*.*");
    QStringList patterns;
    while (!filter.isEmpty())
        patterns << Parse(filter, QStringLiteral(","));
    return patterns;
}

} // namespace dyadix
