#pragma once

#include "controls.h"
#include "formhost.h"
#include "formwork.h"

#include "panes/pane.h"
#include "paths/recallslots.h"
#include "core/filesystem.h"
#include "core/programinfo.h"
#include "core/prompter.h"
#include "core/settingsstore.h"
#include "core/shell.h"

#include <QAction>
#include <QObject>

#include <array>
#include <map>
#include <memory>
#include <vector>

namespace dyadix {

// The window frmMatch without its widgets: the controls' state, the menu items, the options,
// the window-level values and every event handler. The widgets show this state and call the
// handlers; tests drive it directly.
//
// Menu items are QActions. An option's state is its action's check mark; a checkable action
// reverses its own mark when clicked, before its _Click handler runs. A command's
// availability is its action's enabled state.
class FormModel final : public QObject, private ListingHost
{
    Q_OBJECT

public:
    FormModel(FileSystem &fileSystem, Prompter &prompter, SettingsStore &settings, Shell &shell,
              FormHost &host, ProgramInfo program, QObject *parent = nullptr);
    ~FormModel() override;

    static const QString DesignedCaption;

    // Controls.
    Pane &pane(int index) { return *m_panes.at(static_cast<size_t>(index - 1)); }
    TextBox txtSelect;
    Geometry geometry(ControlId id) const { return m_geometry[static_cast<size_t>(id)]; }
    // The window's client area changed size (twips): lays the controls out again.
    void clientResized(double width, double height);

    // Window.
    const QString &Caption() const { return m_caption; }
    void setCaption(const QString &caption);
    int MousePointer() const { return m_mousePointer; }

    // Menu items.
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
    QAction mnuMatch;
    QAction mnuFileHelp, mnuHelpHowTo, mnuHelpAbout;
    QAction *mnuCopy(int index) const { return m_copy.at(static_cast<size_t>(index - 1)); }
    QAction *mnuDel(int index) const { return m_delete.at(static_cast<size_t>(index - 1)); }

    // The drop-down menus' items in order (separators included), and the commands that stand
    // on the menu bar itself between Options and Help.
    std::vector<QAction *> fileMenuItems() const;
    std::vector<QAction *> optionMenuItems() const;
    std::vector<QAction *> helpMenuItems() const;
    std::vector<QAction *> menuBarCommands() const;

    // Window-level state.
    QString SettingsApp;
    QString SettingsSection;
    bool NoSaveOnExit = false;
    bool SkipListing = false;
    QString MessageText;
    QString LeftRoot;
    QString RightRoot;

    // Events.
    void Form_Load();
    void Form_Unload();
    void Form_Resize();
    void drvList_Change(int Index);
    void dirList_Change(int Index);
    void dirList_DragDrop(int Index, ControlId Source, double X, double Y);
    void lstFiles_Click(int Index);
    void lstFiles_DragDrop(int Index, ControlId Source, double X, double Y);
    void lstFiles_Scroll(int Index);
    void mnuFile_Click();
    void mnuFileLast_Click(int Index);
    void mnuFileAdd_Click();
    void mnuFileEdit_Click();
    void mnuFileRemove_Click();
    void mnuFileRefresh_Click();
    void mnuFileExit_Click();
    void mnuFileExitNoSave_Click();
    void mnuOptionAction_Click();
    void mnuOptionNewer_Click();
    void mnuOptionWarn1_Click();
    void mnuOptionSynch_Click();
    void mnuMatch_Click();
    void mnuOptionSyncFoldr_Click();
    void mnuFileExport_Click();
    void mnuFileBatch_Click();
    void mnuHelpHowTo_Click();
    void mnuHelpAbout_Click();
    void mnuCopy_Click(int Index);
    void mnuDel_Click(int Index);

    // A copy, move or delete at work.
    bool working() const { return m_work.working(); }
    // Asks "Stop after this file?"; on Yes the work stops once the current file is done.
    void stopWork();
    // Stops the work at once (the program is closing): the file being copied keeps its old
    // target, and a move keeps its source.
    void stopWorkNow() { m_work.stopNow(); }

    // Procedures.
    void GetSettings();
    void SaveSettings();
    void ReportShellError(const int &code);

    // The recall items' captions and shown flags (the path list).
    RecallSlots &recallSlots() { return *m_recall; }

signals:
    void captionChanged();
    void geometryChanged(ControlId id);

private:
    // The path set each recall key gets at exit (empty: the key is removed).
    std::array<QString, RecallSlots::Count> pathSetsToStore();
    void setUpMenus();
    void connectPane(Pane &pane);
    void setMousePointer(int pointer) override;
    void processEvents() override;
    QString currentFolderOfDrive(const QString &drive) const;
    struct PathContext pathContext();
    struct ActionContext actionContext();
    struct FolderSyncContext folderSyncContext();

    FileSystem &m_fileSystem;
    Prompter &m_prompter;
    SettingsStore &m_settings;
    Shell &m_shell;
    FormHost &m_host;
    ProgramInfo m_program;
    FormWork m_work {m_host};

    std::array<std::unique_ptr<Pane>, 2> m_panes;
    std::array<QAction *, 4> m_copy {};
    std::array<QAction *, 2> m_delete {};
    std::array<Geometry, ControlCount> m_geometry {};
    double m_clientWidth = DesignedClientWidth;
    double m_clientHeight = DesignedClientHeight;
    QString m_caption;
    int m_mousePointer = 0;
    // The folder each drive was last shown at, as each drive keeps a current folder.
    std::map<QString, QString> m_driveFolders;
    std::unique_ptr<RecallSlots> m_recall;
    // A tree listing at work (it runs as work that the user can stop).
    bool m_listing = false;
    // Lists both panes in turn; with subfolders, the Right tree is walked while the Left one
    // is listed.
    void listBothPanes();
    // The file system a listing uses (the one with the walk started ahead, while it lives).
    FileSystem *m_listingFileSystem = nullptr;
    // How many recall items the start-up read from the store; an aborted load reads fewer,
    // and the exit keeps the stored path sets of the items it never read.
    int m_recallSlotsLoaded = 0;
};

} // namespace dyadix
