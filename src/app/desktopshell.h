#pragma once

// Web addresses opened through the desktop's URL handler.

#include "core/shell.h"

namespace dyadix {

// Opens addresses through the desktop's URL handler.
class DesktopShell final : public Shell
{
public:
    Result<int> openWebAddress(const QString &address) override;
};

} // namespace dyadix
