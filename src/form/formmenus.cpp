#include "formmenus.h"

#include <QKeySequence>

namespace dyadix {

namespace {

void setUpItem(QAction &action, const QString &caption, const char *shortcut = nullptr)
{
    action.setText(caption);
    if (shortcut != nullptr)
        action.setShortcut(QKeySequence(QString::fromLatin1(shortcut)));
}

// An option's check mark at start.
enum class Mark { Checked, Unchecked };

void setUpOption(QAction &action, const QString &caption, Mark mark,
                 const char *shortcut = nullptr)
{
    setUpItem(action, caption, shortcut);
    action.setCheckable(true);
    action.setChecked(mark == Mark::Checked);
}

} // namespace

FormMenus::FormMenus()
{
    setUpItem(mnuFile, QStringLiteral("&File"));
    setUpItem(mnuFileAdd, QStringLiteral("&Add Path to List"), "Ctrl+A");
    setUpItem(mnuFileEdit, QStringLiteral("&Edit Path..."), "Ctrl+E");
    setUpItem(mnuFileRemove, QStringLiteral("&Remove Path..."), "Ctrl+D");
    mnuFileBar0.setSeparator(true);
    m_last[0].setText(QStringLiteral("Last"));
    for (size_t k = 0; k < m_last.size(); ++k)
        mnuFileLast[k] = &m_last[k];
    mnuFileBar1.setSeparator(true);
    setUpItem(mnuFileRefresh, QStringLiteral("Re&fresh Drive Lists"), "Ctrl+R");
    setUpItem(mnuFileExport, QStringLiteral("Export to &Tab-delimited File..."), "Ctrl+T");
    setUpItem(mnuFileBatch, QStringLiteral("Make DOS &Batch File..."), "Ctrl+B");
    setUpItem(mnuFileExit, QStringLiteral("E&xit"));
    setUpItem(mnuFileExitNoSave, QStringLiteral("&Exit without Saving Settings"), "Ctrl+Q");

    setUpItem(mnuOption, QStringLiteral("&Options"));
    setUpOption(mnuOptionAction, QStringLiteral("&Warn before Actions"), Mark::Checked);
    setUpOption(mnuOptionNewer, QStringLiteral("&Mark Newer"), Mark::Checked);
    setUpOption(mnuOptionWarn1, QStringLiteral("Warn if &Target is Bigger"), Mark::Checked);
    setUpOption(mnuOptionSynch, QStringLiteral("Synchronize &Scrolling"), Mark::Unchecked, "Ctrl+S");
    setUpOption(mnuOptionSyncFoldr, QStringLiteral("Synchronize &Folders"), Mark::Unchecked, "Ctrl+F");
    setUpOption(mnuOptionTrash, QStringLiteral("Deleted Files to T&rash"), Mark::Checked);
    setUpOption(mnuOptionSubfolders, QStringLiteral("&Include Subfolders"), Mark::Unchecked);
    setUpOption(mnuOptionContents, QStringLiteral("Compare &Contents"), Mark::Unchecked);
    setUpOption(mnuOptionDeletions, QStringLiteral("&Detect Deletions"), Mark::Checked);

    setUpItem(mnuMatch, QStringLiteral("&Match!"));
    const QString copyCaptions[] = {QStringLiteral("&Copy!>"), QStringLiteral("<Cop&y!"),
                                    QStringLiteral(">&Move!>"), QStringLiteral("<Mo&ve!<")};
    for (size_t i = 0; i < m_copy.size(); ++i)
        m_copy[i].setText(copyCaptions[i]);
    m_delete[0].setText(QStringLiteral(">&Delete!"));
    m_delete[1].setText(QStringLiteral("De&lete!<"));

    setUpItem(mnuHelp, QStringLiteral("&Help"));
    setUpItem(mnuHelpHowTo, QStringLiteral("&Instructions..."));
    setUpItem(mnuHelpAbout, QStringLiteral("&About..."));
}

std::vector<QAction *> FormMenus::fileMenuItems()
{
    std::vector<QAction *> items {&mnuFileAdd, &mnuFileEdit, &mnuFileRemove, &mnuFileBar0};
    items.insert(items.end(), mnuFileLast.begin(), mnuFileLast.end());
    items.insert(items.end(), {&mnuFileBar1, &mnuFileRefresh, &mnuFileExport, &mnuFileBatch,
                               &mnuFileExit, &mnuFileExitNoSave});
    return items;
}

std::vector<QAction *> FormMenus::optionMenuItems()
{
    return {&mnuOptionAction, &mnuOptionNewer, &mnuOptionWarn1, &mnuOptionSynch,
            &mnuOptionSyncFoldr, &mnuOptionTrash, &mnuOptionSubfolders, &mnuOptionContents, &mnuOptionDeletions};
}

std::vector<QAction *> FormMenus::helpMenuItems()
{
    return {&mnuHelpHowTo, &mnuHelpAbout};
}

std::vector<QAction *> FormMenus::menuBarCommands()
{
    return {&mnuMatch, mnuCopy(1), mnuCopy(2), mnuCopy(3), mnuCopy(4), mnuDel(1), mnuDel(2)};
}

} // namespace dyadix
