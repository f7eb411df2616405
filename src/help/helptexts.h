#pragma once

// The texts of the Help menu's boxes and of the browser's errors.

#include "core/programinfo.h"

#include <QString>

namespace dyadix {

// The fifteen lines of the instructions box.
QString instructionsText();

// The About box's text, with the window title as it reads now.
QString aboutText(const QString &windowTitle, const ProgramInfo &program);

// The maker's web site, as line 7 of the About text shows it and as the browser opens it.
QString makerWebAddress();

// The message for a failed shell call's result code.
QString shellErrorMessage(int code);

} // namespace dyadix
