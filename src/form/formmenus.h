#pragma once

// The window's menu items: their captions, access keys, shortcuts, check marks and order.

#include <QAction>

#include <array>
#include <vector>

namespace dyadix {

// Menu items are QActions. An option's state is its action's check mark; a checkable action
// reverses its own mark when clicked, before the handler connected to it runs. A command's
// availability is its action's enabled state.
class FormMenus
{
public:
    FormMenus();

    QAction mnuFile, mnuFileAdd, mnuFileEdit, mnuFileRemove, mnuFileBar0;
    std::array<QAction *, 10> mnuFileLast {};
    QAction mnuFileBar1, mnuFileRefresh, mnuFileExport, mnuFileBatch, mnuFileExit,
        mnuFileExitNoSave;
    QAction mnuOption, mnuOptionAction, mnuOptionNewer, mnuOptionWarn1, mnuOptionSynch,
        mnuOptionSyncFoldr;
    // Deleted and replaced files go to the desktop's Trash; checked at start, never stored.
    QAction mnuOptionTrash;
    // Each pane lists its folder's whole tree; unchecked at start, never stored.
    QAction mnuOptionSubfolders;
    // Match reads the ticked pairs of one size and unticks those whose contents are the same;
    // unchecked at start, never stored.
    QAction mnuOptionContents;
    // Match keeps a record of the names in step and does not bring back a file deleted on
    // one side since (checked at start, never stored).
    QAction mnuOptionDeletions;
    QAction mnuMatch;
    QAction mnuHelp, mnuHelpHowTo, mnuHelpAbout;
    // Copy!>, <Copy!, >Move!>, <Move!< (1 to 4) and >Delete!, Delete!< (1 and 2).
    QAction *mnuCopy(int index) { return &m_copy.at(static_cast<size_t>(index - 1)); }
    QAction *mnuDel(int index) { return &m_delete.at(static_cast<size_t>(index - 1)); }

    // The drop-down menus' items in order (separators included), and the commands that stand
    // on the menu bar itself between Options and Help.
    std::vector<QAction *> fileMenuItems();
    std::vector<QAction *> optionMenuItems();
    std::vector<QAction *> helpMenuItems();
    std::vector<QAction *> menuBarCommands();

private:
    std::array<QAction, 10> m_last;
    std::array<QAction, 4> m_copy;
    std::array<QAction, 2> m_delete;
};

} // namespace dyadix
