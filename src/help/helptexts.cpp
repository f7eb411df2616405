#include "helptexts.h"

#include <QStringList>

namespace dyadix {

QString instructionsText()
{
    return QStringList {
        QStringLiteral("Dyadix will help you update folders with the latest file versions."),
        QString(),
        QStringLiteral("In each of the left and right-hand panes, select the drive"),
        QStringLiteral("and folder you want to compare.  Click Match on the Menu."),
        QStringLiteral("Later files will be ticked (checked) in each pane."),
        QStringLiteral("Those not in one pane will be added (no date/time)"),
        QStringLiteral("So that both panes can be synchronized."),
        QString(),
        QStringLiteral("Click Copy!> to copy marked files from Left to Right pane."),
        QStringLiteral("Click <Copy! to copy marked files from Right to Left pane."),
        QStringLiteral("You can also Move or Delete files."),
        QString(),
        QStringLiteral("When you Exit (File > Exit) the current Paths will be remembered."),
        QStringLiteral("To remember other Paths for re-use, click File > Add Path to List."),
        QStringLiteral("It will then appear in the File menu.  Click it to recall."),
    }.join(QLatin1Char('\n'));
}

QString makerWebAddress()
{
    return QStringLiteral("dyadix.example.org");
}

QString aboutText(const QString &windowTitle, const ProgramInfo &program)
{
    return QStringList {
        windowTitle,
        QStringLiteral("Version %1.%2.%3 - %4").arg(program.major).arg(program.minor).arg(program.revision)
            .arg(program.buildStamp),
        QStringLiteral("Copyright (c) 2026 The Dyadix developers"),
        QStringLiteral("Dyadix Software, 100 Example Street, Springfield"),
        QStringLiteral("Telephone: 555 0100 (international +1 555 0100)"),
        QStringLiteral("Fax: 555 0101 (international +1 555 0101)"),
        QStringLiteral("Web site: ") + makerWebAddress() + QStringLiteral("  e-mail: info@dyadix.example.org"),
        QString(),
        QStringLiteral("Programmer: The Dyadix developers, dev@dyadix.example.org"),
        QString(),
        QStringLiteral("If you find Dyadix useful, please consider a voluntary contribution."),
        QStringLiteral("A contribution entitles you to the latest update"),
        QStringLiteral("as soon as it becomes available."),
        QStringLiteral("You can pay by cheque, postal or money order, or by credit card"),
        QStringLiteral("on our Web Site.  Go to web site now?"),
    }.join(QLatin1Char('\n'));
}

QString shellErrorMessage(int code)
{
    switch (code) {
    case 2:
        return QStringLiteral("File not found");
    case 3:
        return QStringLiteral("Path not found");
    case 5:
        return QStringLiteral("Access denied");
    case 8:
        return QStringLiteral("Out of memory");
    case 11:
        return QStringLiteral("Invalid EXE file or error in EXE image");
    case 26:
        return QStringLiteral("A sharing violation occurred");
    case 27:
        return QStringLiteral("Incomplete or invalid file association");
    case 28:
        return QStringLiteral("DDE Time out");
    case 29:
        return QStringLiteral("DDE transaction failed");
    case 30:
        return QStringLiteral("DDE busy");
    case 31:
        return QStringLiteral("No association for file extension");
    case 32:
        return QStringLiteral("DLL not found");
    default:
        return QStringLiteral("Unknown error ") + QString::number(code);
    }
}

} // namespace dyadix
