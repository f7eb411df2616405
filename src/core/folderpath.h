#pragma once

// A folder's path as the beginning of the paths below it.

#include <QString>

namespace dyadix {

// The path with one separator at its end ("/" stays "/").
inline QString withSeparator(QString path)
{
    if (!path.endsWith(QLatin1Char('/')))
        path += QLatin1Char('/');
    return path;
}

} // namespace dyadix
