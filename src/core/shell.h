#pragma once

// The desktop's "open this address", as one interface.

#include "result.h"

#include <QString>

namespace dyadix {

// Hands an address to the desktop, the way a shell "open" does.
class Shell
{
public:
    virtual ~Shell() = default;

    // Opens a web address (a bare host name is taken as http) in the default browser.
    // Gives a value above 32 on success, an error code of 32 or less on failure, or the
    // run-time error that stopped the call.
    virtual Result<int> openWebAddress(const QString &address) = 0;
};

// Shell result codes that the About box reports. Any value above 32 means the address was
// handed on; codes of 32 or less name what went wrong.
namespace ShellResult {
constexpr int Success = 33;
constexpr int FileNotFound = 2;
constexpr int NoAssociation = 31;
} // namespace ShellResult

} // namespace dyadix
