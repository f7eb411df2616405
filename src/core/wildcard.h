#pragma once

// File names matched against wildcard patterns, without regard to case.

#include <QStringView>

namespace dyadix {

// Whether a file name matches one wildcard pattern, without regard to case: "*" stands for
// any run of characters, "?" for exactly one. "*" and "*.*" match every name, and a pattern
// ending in ".*" also matches the name without any extension ("readme.*" matches "readme").
// The empty pattern matches nothing.
bool matchesWildcard(QStringView name, QStringView pattern);

} // namespace dyadix
