#pragma once

// The program's window without its widgets: the controls' state, the menus, the options and
// every event handler. The widgets show this state and call the handlers; tests drive it
// directly.

#include "controls.h"
#include "formgeometry.h"
#include "formhost.h"
#include "formmenus.h"
#include "formwork.h"

#include "core/filesystem.h"
#include "core/programinfo.h"
#include "core/prompter.h"
#include "core/settingsstore.h"
#include "core/shell.h"
#include "match/syncrecord.h"
#include "panes/pane.h"
#include "paths/recallslots.h"

#include <QObject>

#include <array>
#include <functional>
#include <map>
#include <memory>
#include <optional>

namespace dyadix {

// The menu items (FormMenus) are the window's own: an option's state is its action's check
// mark, a command's availability its action's enabled state. The handlers that the window's
// behaviour names are public; each runs as the user's gesture would run it.
class FormModel final : public QObject, public FormMenus
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
    Geometry geometry(ControlId id) const { return m_geometry.of(id); }
    // The window's client area changed size (twips): lays the controls out again.
    void clientResized(double width, double height);

    // Window.
    const QString &Caption() const { return m_caption; }
    void setCaption(const QString &caption);

    // Window-level state.
    // The folders the program was started on, each shown instead of the stored one (empty:
    // the stored one); a file stands for its folder.
    std::array<QString, 2> StartFolders;
    QString SettingsApp;
    QString SettingsSection;
    bool NoSaveOnExit = false;
    bool SkipListing = false;
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
    void mnuMatch_Click();
    void mnuOptionSyncFoldr_Click();
    void mnuFileExport_Click();
    void mnuFileBatch_Click();
    void mnuHelpHowTo_Click();
    void mnuHelpAbout_Click();
    void mnuCopy_Click(int Index);
    void mnuDel_Click(int Index);

    // Work at hand: a copy, move or delete, or a tree being listed.
    bool working() const { return m_work.working(); }
    // Asks whether to stop the work ("Stop the listing here?" for a listing, "Stop after this
    // file?" for files); on Yes it stops once the file (or the batch of the listing) in hand
    // is done.
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
    void connectMenus();
    void connectPane(Pane &pane);
    void placeControls(const std::vector<ControlId> &changed);
    // Lists one pane's folder through the given file system.
    void listOnePane(int Index, FileSystem &fileSystem);
    // Lists both panes in turn; with subfolders, the Right tree is walked while the Left one
    // is listed.
    void listBothPanes();
    QString currentFolderOfDrive(const QString &drive) const;
    // The path set each recall key gets at exit (empty: the key is removed).
    std::array<QString, RecallSlots::Count> pathSetsToStore();
    struct PathContext pathContext();
    struct ActionContext actionContext();
    struct FolderSyncContext folderSyncContext();
    // The record of the last time the two folders shown were in step, while "Detect
    // Deletions" is on: none kept yet gives an empty one; one that cannot be read is set
    // aside with a message, and gives none.
    std::optional<SyncRecord> readRecord();
    // Whether Match may trust the record: not where a side holds no files while the record
    // held ten or more (a drive not connected?), unless the user says so. Nothing when the
    // user ends Match.
    std::optional<bool> recordTrusted(const SyncRecord &record);
    Status writeRecord(const SyncRecord &record);
    // Tells whether a name could have been listed: it matches the filter, and neither side
    // failed to read where it would be.
    std::function<bool(NameView)> listableNames() const;

    FileSystem &m_fileSystem;
    Prompter &m_prompter;
    SettingsStore &m_settings;
    Shell &m_shell;
    FormHost &m_host;
    ProgramInfo m_program;
    FormWork m_work {m_host};

    std::array<std::unique_ptr<Pane>, 2> m_panes;
    FormGeometry m_geometry;
    QString m_caption;
    // The folder each drive was last shown at, as each drive keeps a current folder.
    std::map<QString, QString> m_driveFolders;
    std::unique_ptr<RecallSlots> m_recall;
    // A tree listing, or Match's comparing of contents, at work (work that the user can stop).
    bool m_listing = false;
    bool m_comparing = false;
    // How many recall items the start-up read from the store; an aborted load reads fewer,
    // and the exit keeps the stored path sets of the items it never read.
    int m_recallSlotsLoaded = 0;
};

} // namespace dyadix
