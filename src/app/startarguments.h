#pragma once

// What the program was started with: the folders to show, or a request for help or the version.

#include <QString>
#include <QStringList>

#include <array>

namespace dyadix {

struct StartArguments
{
    enum class Action { Run, Print, Refuse };
    Action action = Action::Run;
    // Print: the text for standard output; Refuse: the one line for standard error.
    QString message;
    // The Left and Right folders given, absolute (empty: the stored one).
    std::array<QString, 2> folders;
};

// Reads `dyadix [LEFT [RIGHT]]`, `--help` and `--version` (printing `version`); relative
// folders are taken from `currentFolder`, and "--" ends the options. Qt's own options
// (-platform NAME, -style NAME, -reverse ...) are left to Qt; any other option is refused.
StartArguments parseStartArguments(const QStringList &arguments, const QString &currentFolder, const QString &version);

} // namespace dyadix
