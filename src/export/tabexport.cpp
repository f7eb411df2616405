#include "tabexport.h"

#include "panes/dirlistmodel.h"
#include "panes/parsing.h"
#include "runtime/errortrap.h"
#include "runtime/nativename.h"

namespace dyadix {

QByteArray exportContent(const Pane &left, const Pane &right)
{
    const FileListModel &l = left.lstFiles;
    const FileListModel &r = right.lstFiles;
    QString text = DirListModel::withSeparator(left.dirList.Path()) + QStringLiteral("\t\t\t\t")
        + DirListModel::withSeparator(right.dirList.Path()) + QStringLiteral("\r\n\r\n")
        + QStringLiteral("File\tDate / Time\tSize\t<>\tFile\tDate / Time\tSize\r\n");
    const int leftCount = l.ListCount();
    const int rightCount = r.ListCount();
    for (int i = 0; i < std::max(leftCount, rightCount); ++i) {
        const QString leftPart = i < leftCount ? l.List(i) : QStringLiteral("\t\t");
        const QString rightPart = i < rightCount ? r.List(i) : QString();
        QString marker;
        if (i < leftCount && i < rightCount) {
            if (l.Selected(i))
                marker = QStringLiteral(">>");
            if (r.Selected(i))
                marker = QStringLiteral("<<");
        }
        text += leftPart + QLatin1Char('\t') + marker + QLatin1Char('\t') + rightPart + QStringLiteral("\r\n");
    }
    return encodeNativeName(text);
}

void exportToFile(ExportContext &c)
{
    const QString prompt = QStringLiteral("This will create (or overwrite) a Tab-delimited file\n"
                                          "which you can then open in Excel (Text file options).\n\n"
                                          "Full path and file name?");
    const QString stored = c.settings.GetSetting(c.SettingsApp, c.SettingsSection,
                                                 QStringLiteral("ExportFile"), c.defaultFileName);
    const QString answer = c.prompter.InputBox(prompt, QStringLiteral("Export Text file for Excel:"), stored);
    if (trimBlanks(answer).isEmpty())
        return;
    c.setMousePointer(11);
    ErrorTrap trap(c.prompter, QStringLiteral("Error!"));
    const QByteArray content = exportContent(c.left, c.right);
    // The name is remembered only for an export that was written.
    if (trap.run([&] { return c.fileSystem.writeFile(answer, content); }))
        trap.run([&] { return c.settings.SaveSetting(c.SettingsApp, c.SettingsSection, QStringLiteral("ExportFile"), answer); });
    c.setMousePointer(0);
}

} // namespace dyadix
