#include "desktopshell.h"

#include <QDesktopServices>
#include <QUrl>

namespace dyadix {

Result<int> DesktopShell::openWebAddress(const QString &address)
{
    const QUrl url = QUrl::fromUserInput(address.trimmed());
    if (!url.isValid() || url.isEmpty())
        return ShellResult::FileNotFound;
    return QDesktopServices::openUrl(url) ? ShellResult::Success : ShellResult::NoAssociation;
}

} // namespace dyadix
