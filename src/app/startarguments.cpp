#include "startarguments.h"

#include <QDir>

namespace dyadix {

namespace {

const QString Usage = QStringLiteral(
    "Usage: dyadix [LEFT [RIGHT]]\n"
    "Shows two folders side by side and brings them up to date with each other.\n"
    "\n"
    "  LEFT, RIGHT   the folders for the Left and Right panes (a file stands for its folder);\n"
    "                a folder not given is the one shown at the end of the last run\n"
    "  --help        show this help and exit\n"
    "  --version     show the version and exit\n"
    "\n"
    "Qt's own options (-platform NAME, -style NAME, -reverse ...) are taken too.\n");

// Qt's options that the application object reads: with a value, and without.
const QStringList QtOptionsWithValue {QStringLiteral("-platform"), QStringLiteral("-platformpluginpath"), QStringLiteral("-platformtheme"),
                                      QStringLiteral("-plugin"), QStringLiteral("-qwindowgeometry"), QStringLiteral("-qwindowicon"),
                                      QStringLiteral("-qwindowtitle"), QStringLiteral("-session"), QStringLiteral("-display"),
                                      QStringLiteral("-geometry"), QStringLiteral("-style"), QStringLiteral("-stylesheet")};
const QStringList QtOptions {QStringLiteral("-reverse"), QStringLiteral("-widgetcount"), QStringLiteral("-nograb"), QStringLiteral("-dograb"),
                             QStringLiteral("-sync")};

} // namespace

StartArguments parseStartArguments(const QStringList &arguments, const QString &currentFolder, const QString &version)
{
    StartArguments start;
    QStringList folders;
    bool optionsEnded = false;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        if (optionsEnded || !argument.startsWith(QLatin1Char('-')) || argument == QLatin1String("-")) {
            folders << argument;
        } else if (argument == QLatin1String("--")) {
            optionsEnded = true;
        } else if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
            return {StartArguments::Action::Print, Usage, {}};
        } else if (argument == QLatin1String("--version")) {
            return {StartArguments::Action::Print, QStringLiteral("dyadix ") + version + QLatin1Char('\n'), {}};
        } else if (QtOptionsWithValue.contains(argument.section(QLatin1Char('='), 0, 0))) {
            i += argument.contains(QLatin1Char('=')) ? 0 : 1; // its value
        } else if (!QtOptions.contains(argument)) {
            return {StartArguments::Action::Refuse, QStringLiteral("dyadix: unknown option %1 (see dyadix --help)").arg(argument), {}};
        }
    }
    if (folders.size() > 2)
        return {StartArguments::Action::Refuse, QStringLiteral("dyadix: give at most two folders, LEFT and RIGHT (see dyadix --help)"), {}};
    for (qsizetype i = 0; i < folders.size(); ++i)
        start.folders[std::size_t(i)] = QDir::cleanPath(QDir(currentFolder).absoluteFilePath(folders[i]));
    return start;
}

} // namespace dyadix
