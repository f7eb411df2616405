#include "workmonitor.h"

namespace dyadix {

namespace {

QString sizeText(std::int64_t bytes)
{
    const char *units[] = {"bytes", "KB", "MB", "GB", "TB"};
    double value = double(bytes);
    int unit = 0;
    while (value >= 1000.0 && unit < 4) {
        value /= 1000.0;
        ++unit;
    }
    if (unit == 0)
        return QString::number(bytes) + QLatin1Char(' ') + QLatin1String(units[0]);
    return QString::number(value, 'f', 1) + QLatin1Char(' ') + QLatin1String(units[unit]);
}

// "m:ss", or "h:mm:ss" from an hour on.
QString durationText(std::int64_t seconds)
{
    const QString secondsText = QStringLiteral("%1").arg(seconds % 60, 2, 10, QLatin1Char('0'));
    if (seconds < 3600)
        return QString::number(seconds / 60) + QLatin1Char(':') + secondsText;
    return QString::number(seconds / 3600) + QLatin1Char(':')
        + QStringLiteral("%1").arg((seconds / 60) % 60, 2, 10, QLatin1Char('0')) + QLatin1Char(':') + secondsText;
}

} // namespace

QString progressText(const WorkProgress &p)
{
    // A count not known beforehand: a listing.
    if (p.files == 0)
        return p.verb + QStringLiteral(" - ") + QString::number(p.file) + QStringLiteral(" files so far");
    QString text = p.verb + QStringLiteral(" file ") + QString::number(p.file) + QStringLiteral(" of ")
        + QString::number(p.files);
    if (p.bytes > 0)
        text += QStringLiteral(" - ") + sizeText(p.bytesDone) + QStringLiteral(" of ") + sizeText(p.bytes);
    if (p.elapsedMs >= 1000 && p.bytesDone > 0) {
        const double perSecond = double(p.bytesDone) * 1000.0 / double(p.elapsedMs);
        const auto left = std::int64_t(double(p.bytes - p.bytesDone) / perSecond + 0.5);
        text += QStringLiteral(" - ") + sizeText(std::int64_t(perSecond)) + QStringLiteral("/s - ")
            + durationText(left) + QStringLiteral(" left");
    }
    return text;
}

} // namespace dyadix
