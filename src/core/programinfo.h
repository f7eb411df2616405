#pragma once

// What the running program is: its name, version and build stamp.

#include <QString>

namespace dyadix {

// Facts about the running program: the executable's base name (which names its settings)
// and its version.
struct ProgramInfo
{
    QString executableBaseName;
    int major = 0;
    int minor = 0;
    int revision = 0;
    QString buildStamp; // three capital letters, a blank and yymmdd
};

} // namespace dyadix
