// Starts the program: reads its arguments, starts the file helper, then the window on this
// machine's services.
#include "mainwindow.h"
#include "services.h"
#include "startarguments.h"

#include "native/memorytuning.h"

#include <QApplication>
#include <QDir>

#include <cstdio>

int main(int argc, char *argv[])
{
    // Help, the version and a wrong option are answered before any window or display.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    // The version as the About box gives it.
    const dyadix::StartArguments start = dyadix::parseStartArguments(
        arguments, QDir::currentPath(),
        QStringLiteral("%1.%2.%3 - DYX " DYADIX_BUILD_DATE).arg(DYADIX_VERSION_MAJOR).arg(DYADIX_VERSION_MINOR).arg(DYADIX_VERSION_PATCH));
    if (start.action != dyadix::StartArguments::Action::Run) {
        const QByteArray text = start.message.toLocal8Bit() + (start.action == dyadix::StartArguments::Action::Refuse ? "\n" : "");
        std::fputs(text.constData(), start.action == dyadix::StartArguments::Action::Refuse ? stderr : stdout);
        return start.action == dyadix::StartArguments::Action::Refuse ? 2 : 0;
    }
    dyadix::IsolatedFileSystem::startHelper();
    dyadix::keepLargeBlocksApart();
    QApplication application(argc, argv);
    dyadix::Services services;
    dyadix::MainWindow window(services);
    window.form().StartFolders = start.folders;
    return window.start() ? QApplication::exec() : 0;
}
