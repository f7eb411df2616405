#include "formmodel.h"

// The window's listings: a pane's folder listed when it changes, both panes for Match, and the
// folder each drive was last shown at.

#include "panes/dirlistmodel.h"
#include "panes/foldersync.h"
#include "panes/listingprefetch.h"
#include "panes/panelisting.h"
#include "panes/parsing.h"

namespace dyadix {

QString FormModel::currentFolderOfDrive(const QString &drive) const
{
    const auto found = m_driveFolders.find(drive);
    return found == m_driveFolders.end() ? drive : found->second;
}

void FormModel::drvList_Change(int Index)
{
    Pane &p = pane(Index);
    if (p.dirList.setPath(currentFolderOfDrive(p.drvList.Drive())))
        return;
    // A drive that cannot be opened: back to the drive of the folder still shown, silently.
    if (!p.dirList.Path().isEmpty())
        (void)p.drvList.setDrive(p.dirList.Path());
}

void FormModel::dirList_Change(int Index)
{
    if (!SkipListing)
        listOnePane(Index, m_fileSystem);
}

void FormModel::listOnePane(int Index, FileSystem &fileSystem)
{
    ListingContext context {fileSystem, m_prompter, m_host, pane(Index), pane(3 - Index).txtStatus, txtSelect,
                            [this, Index] {
                                for (QAction *command : {mnuCopy(Index), mnuCopy(Index + 2), mnuDel(Index)})
                                    command->setEnabled(false);
                            },
                            [this] { mnuOptionSynch.setChecked(false); },
                            {},
                            mnuOptionSubfolders.isChecked() ? Subfolders::Included : Subfolders::Excluded, {}};
    if (mnuOptionSyncFoldr.isChecked()) {
        context.followStep = [this, Index](ErrorTrap &trap, const QString &folderText) {
            FolderSyncContext sync = folderSyncContext();
            followFolder(sync, trap, Index, folderText);
        };
    }
    // A tree can take long: its listing shows how far it is and can be stopped, as work can.
    if (context.subfolders == Subfolders::Included && !m_work.working()) {
        m_listing = true;
        m_work.begin(QStringLiteral("Listing"), 0, 0);
        context.progress = [this](std::int64_t files) {
            m_work.showListing(files);
            return !m_work.stopRequested();
        };
        listPane(context);
        m_work.end();
        m_listing = false;
        return;
    }
    listPane(context);
}

void FormModel::listBothPanes()
{
    if (SkipListing)
        return;
    ListingPrefetch ahead(m_fileSystem, withSeparator(pane(2).dirList.Path()),
                          filterPatterns(txtSelect.Text()),
                          mnuOptionSubfolders.isChecked() ? ListingPrefetch::Reach::Tree : ListingPrefetch::Reach::Folder);
    ahead.whileWaiting = [this] { m_host.processEvents(); };
    listOnePane(1, m_fileSystem);
    listOnePane(2, ahead);
}

} // namespace dyadix
