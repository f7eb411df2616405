#include "wildcard.h"

namespace dyadix {

namespace {

bool sameLetter(QChar a, QChar b)
{
    return a == b || a.toCaseFolded() == b.toCaseFolded();
}

// Iterative glob with one backtracking point per "*": linear in practice, never exponential.
bool globMatch(QStringView name, QStringView pattern)
{
    qsizetype n = 0, p = 0;
    qsizetype starAt = -1, resumeAt = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == QLatin1Char('*')) {
            starAt = p++;
            resumeAt = n;
        } else if (p < pattern.size()
                   && (pattern[p] == QLatin1Char('?') || sameLetter(pattern[p], name[n]))) {
            ++p;
            ++n;
        } else if (starAt >= 0) {
            p = starAt + 1;
            n = ++resumeAt;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == QLatin1Char('*'))
        ++p;
    return p == pattern.size();
}

} // namespace

bool matchesWildcard(QStringView name, QStringView pattern)
{
    if (pattern.isEmpty())
        return false;
    if (pattern == u"*" || pattern == u"*.*")
        return true;
    if (globMatch(name, pattern))
        return true;
    if (pattern.endsWith(u".*"))
        return globMatch(name, pattern.chopped(2));
    return false;
}

} // namespace dyadix
