// What this program is: its name, version and build stamp.
#include "services.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace dyadix {

ProgramInfo Services::thisProgram()
{
    ProgramInfo program;
    program.executableBaseName =
        QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    if (program.executableBaseName.isEmpty())
        program.executableBaseName = QStringLiteral("dyadix");
    program.major = DYADIX_VERSION_MAJOR;
    program.minor = DYADIX_VERSION_MINOR;
    program.revision = DYADIX_VERSION_PATCH;
    program.buildStamp = QStringLiteral("DYX " DYADIX_BUILD_DATE);
    return program;
}

} // namespace dyadix
