#include "foldersync.h"

namespace dyadix {

QString counterpartFolder(const QString &folderText, const QString &from, const QString &to)
{
    if (from.isEmpty())
        return to + folderText;
    QString target = folderText;
    return target.replace(from, to, Qt::CaseInsensitive);
}

void switchFolderSync(FolderSyncContext &c)
{
    if (!c.option.isChecked())
        return;
    c.LeftRoot = c.left.dirList.Path();
    c.RightRoot = c.right.dirList.Path();
    if (c.LeftRoot.compare(c.RightRoot, Qt::CaseInsensitive) == 0)
        return;
    int count = 0;
    while (!c.LeftRoot.isEmpty() && !c.RightRoot.isEmpty()
           && QStringView(c.LeftRoot).right(1).compare(QStringView(c.RightRoot).right(1), Qt::CaseInsensitive) == 0) {
        c.LeftRoot.chop(1);
        c.RightRoot.chop(1);
        ++count;
    }
    if (c.LeftRoot.size() == 1 && c.RightRoot.size() == 1) {
        // The folders differed only in their drive: the roots are the two drives' roots.
        c.LeftRoot = c.left.drvList.Drive();
        c.RightRoot = c.right.drvList.Drive();
    }
    if (count > 0)
        return;
    const QString question = QStringLiteral("Failed to Synchronise\n") + c.LeftRoot + QLatin1Char('\n') + c.RightRoot
        + QStringLiteral("\nThese folders do not end in identical names.\n\n"
                         "Do you want to set the Right-hand Path = ")
        + c.LeftRoot;
    const MsgAnswer answer = c.prompter.MsgBox(question, MsgStyle::YesNo + MsgStyle::Question,
                                               QStringLiteral("Can't Synchronize!"));
    if (answer == MsgAnswer::Yes) {
        c.RightRoot = c.LeftRoot;
        (void)c.right.dirList.setPath(c.LeftRoot);
    } else {
        c.option.setChecked(false);
    }
}

void followFolder(FolderSyncContext &c, ErrorTrap &trap, int Index, const QString &folderText)
{
    c.option.setChecked(false);
    const QString target = Index == 1 ? counterpartFolder(folderText, c.LeftRoot, c.RightRoot)
                                      : counterpartFolder(folderText, c.RightRoot, c.LeftRoot);
    Pane &other = Index == 1 ? c.right : c.left;
    trap.run([&]() -> Status {
        if (const Status moved = other.dirList.setPath(target); !moved)
            return moved.error().findingFolder(target);
        return {};
    });
    if (!trap.aborted())
        c.option.setChecked(true);
}

} // namespace dyadix
