#include "formmodel.h"

#include "layout.h"

#include "panes/dirlistmodel.h"
#include "panes/foldersync.h"
#include "panes/parsing.h"
#include "panes/listingprefetch.h"
#include "core/errortrap.h"

#include <QDir>
#include <QKeySequence>

#include <cmath>

namespace dyadix {

const QString FormModel::DesignedCaption = QStringLiteral("Dyadix - Windows File-Matching Program");

namespace {

void setUpItem(QAction &action, const QString &caption, const char *shortcut = nullptr)
{
    action.setText(caption);
    if (shortcut != nullptr)
        action.setShortcut(QKeySequence(QString::fromLatin1(shortcut)));
}

void setUpOption(QAction &action, const QString &caption, bool checked,
                 const char *shortcut = nullptr)
{
    setUpItem(action, caption, shortcut);
    action.setCheckable(true);
    action.setChecked(checked);
}

} // namespace

FormModel::FormModel(FileSystem &fileSystem, Prompter &prompter, SettingsStore &settings,
                     Shell &shell, FormHost &host, ProgramInfo program, QObject *parent)
    : QObject(parent)
    , txtSelect(QStringLiteral("*.*"))
    , m_fileSystem(fileSystem)
    , m_prompter(prompter)
    , m_settings(settings)
    , m_shell(shell)
    , m_host(host)
    , m_program(std::move(program))
    , m_caption(DesignedCaption)
{
    m_panes[0] = std::make_unique<Pane>(1, fileSystem, QStringLiteral("Left"));
    m_panes[1] = std::make_unique<Pane>(2, fileSystem, QStringLiteral("Right"));
    for (const ControlSpec &spec : designedControls())
        m_geometry[static_cast<size_t>(spec.id)] = spec.designed;
    setUpMenus();
    for (auto &pane : m_panes)
        connectPane(*pane);

    // Until the settings move them, the drive and folder lists show the program's current
    // folder, unlisted.
    const QString current = m_fileSystem.currentFolder();
    if (const Result<QString> drive = m_fileSystem.volumeOf(current))
        m_driveFolders[*drive] = DirListModel::normalized(current);
    SkipListing = true;
    for (auto &p : m_panes) {
        (void)p->drvList.setDrive(current);
        (void)p->dirList.setPath(current);
    }
    SkipListing = false;
}

FormModel::~FormModel() = default;

void FormModel::setUpMenus()
{
    setUpItem(mnuFile, QStringLiteral("&File"));
    setUpItem(mnuFileAdd, QStringLiteral("&Add Path to List"), "Ctrl+A");
    setUpItem(mnuFileEdit, QStringLiteral("&Edit Path..."), "Ctrl+E");
    setUpItem(mnuFileRemove, QStringLiteral("&Remove Path..."), "Ctrl+D");
    mnuFileBar0.setSeparator(true);
    for (int k = 0; k < 10; ++k) {
        mnuFileLast[static_cast<size_t>(k)] = new QAction(k == 0 ? QStringLiteral("Last") : QString(), this);
    }
    mnuFileBar1.setSeparator(true);
    setUpItem(mnuFileRefresh, QStringLiteral("Re&fresh Drive Lists"), "Ctrl+R");
    setUpItem(mnuFileExport, QStringLiteral("Export to &Tab-delimited File..."), "Ctrl+T");
    setUpItem(mnuFileBatch, QStringLiteral("Make DOS &Batch File..."), "Ctrl+B");
    setUpItem(mnuFileExit, QStringLiteral("E&xit"));
    setUpItem(mnuFileExitNoSave, QStringLiteral("&Exit without Saving Settings"), "Ctrl+Q");

    setUpItem(mnuOption, QStringLiteral("&Options"));
    setUpOption(mnuOptionAction, QStringLiteral("&Warn before Actions"), true);
    setUpOption(mnuOptionNewer, QStringLiteral("&Mark Newer"), true);
    setUpOption(mnuOptionWarn1, QStringLiteral("Warn if &Target is Bigger"), true);
    setUpOption(mnuOptionSynch, QStringLiteral("Synchronize &Scrolling"), false, "Ctrl+S");
    setUpOption(mnuOptionSyncFoldr, QStringLiteral("Synchronize &Folders"), false, "Ctrl+F");
    setUpOption(mnuOptionTrash, QStringLiteral("Deleted Files to T&rash"), true);
    setUpOption(mnuOptionSubfolders, QStringLiteral("&Include Subfolders"), false);

    setUpItem(mnuMatch, QStringLiteral("&Match!"));
    const QString copyCaptions[] = {QStringLiteral("&Copy!>"), QStringLiteral("<Cop&y!"),
                                    QStringLiteral(">&Move!>"), QStringLiteral("<Mo&ve!<")};
    for (size_t i = 0; i < m_copy.size(); ++i) {
        m_copy[i] = new QAction(copyCaptions[i], this);
        const int index = static_cast<int>(i) + 1;
        connect(m_copy[i], &QAction::triggered, this, [this, index] { mnuCopy_Click(index); });
    }
    m_delete[0] = new QAction(QStringLiteral(">&Delete!"), this);
    m_delete[1] = new QAction(QStringLiteral("De&lete!<"), this);
    for (int index : {1, 2})
        connect(m_delete[static_cast<size_t>(index - 1)], &QAction::triggered, this,
                [this, index] { mnuDel_Click(index); });

    setUpItem(mnuFileHelp, QStringLiteral("&Help"));
    setUpItem(mnuHelpHowTo, QStringLiteral("&Instructions..."));
    setUpItem(mnuHelpAbout, QStringLiteral("&About..."));

    for (int k = 0; k < 10; ++k)
        connect(mnuFileLast[static_cast<size_t>(k)], &QAction::triggered, this,
                [this, k] { mnuFileLast_Click(k); });
    m_recall = std::make_unique<RecallSlots>(mnuFileLast);
    connect(&mnuFileAdd, &QAction::triggered, this, [this] { mnuFileAdd_Click(); });
    connect(&mnuFileEdit, &QAction::triggered, this, [this] { mnuFileEdit_Click(); });
    connect(&mnuFileRemove, &QAction::triggered, this, [this] { mnuFileRemove_Click(); });
    connect(&mnuFileRefresh, &QAction::triggered, this, [this] { mnuFileRefresh_Click(); });
    connect(&mnuFileExit, &QAction::triggered, this, [this] { mnuFileExit_Click(); });
    connect(&mnuFileExitNoSave, &QAction::triggered, this, [this] { mnuFileExitNoSave_Click(); });
    connect(&mnuOptionAction, &QAction::triggered, this, [this] { mnuOptionAction_Click(); });
    connect(&mnuOptionNewer, &QAction::triggered, this, [this] { mnuOptionNewer_Click(); });
    connect(&mnuOptionWarn1, &QAction::triggered, this, [this] { mnuOptionWarn1_Click(); });
    connect(&mnuOptionSynch, &QAction::triggered, this, [this] { mnuOptionSynch_Click(); });
    connect(&mnuMatch, &QAction::triggered, this, [this] { mnuMatch_Click(); });
    connect(&mnuOptionSyncFoldr, &QAction::triggered, this, [this] { mnuOptionSyncFoldr_Click(); });
    // Both panes are listed again, with or without their subfolders.
    connect(&mnuOptionSubfolders, &QAction::triggered, this, [this] { listBothPanes(); });
    connect(&mnuFileExport, &QAction::triggered, this, [this] { mnuFileExport_Click(); });
    connect(&mnuFileBatch, &QAction::triggered, this, [this] { mnuFileBatch_Click(); });
    connect(&mnuHelpHowTo, &QAction::triggered, this, [this] { mnuHelpHowTo_Click(); });
    connect(&mnuHelpAbout, &QAction::triggered, this, [this] { mnuHelpAbout_Click(); });
}

std::vector<QAction *> FormModel::fileMenuItems() const
{
    std::vector<QAction *> items {const_cast<QAction *>(&mnuFileAdd),
                                  const_cast<QAction *>(&mnuFileEdit),
                                  const_cast<QAction *>(&mnuFileRemove),
                                  const_cast<QAction *>(&mnuFileBar0)};
    items.insert(items.end(), mnuFileLast.begin(), mnuFileLast.end());
    for (const QAction *item : {&mnuFileBar1, &mnuFileRefresh, &mnuFileExport, &mnuFileBatch,
                                &mnuFileExit, &mnuFileExitNoSave})
        items.push_back(const_cast<QAction *>(item));
    return items;
}

std::vector<QAction *> FormModel::optionMenuItems() const
{
    return {const_cast<QAction *>(&mnuOptionAction), const_cast<QAction *>(&mnuOptionNewer),
            const_cast<QAction *>(&mnuOptionWarn1), const_cast<QAction *>(&mnuOptionSynch),
            const_cast<QAction *>(&mnuOptionSyncFoldr), const_cast<QAction *>(&mnuOptionTrash),
            const_cast<QAction *>(&mnuOptionSubfolders)};
}

std::vector<QAction *> FormModel::helpMenuItems() const
{
    return {const_cast<QAction *>(&mnuHelpHowTo), const_cast<QAction *>(&mnuHelpAbout)};
}

std::vector<QAction *> FormModel::menuBarCommands() const
{
    return {const_cast<QAction *>(&mnuMatch), m_copy[0], m_copy[1], m_copy[2], m_copy[3],
            m_delete[0], m_delete[1]};
}

void FormModel::connectPane(Pane &pane)
{
    const int index = pane.index;
    connect(&pane.drvList, &DriveListModel::driveChanged, this,
            [this, index] { drvList_Change(index); });
    connect(&pane.dirList, &DirListModel::pathChanged, this, [this, index] {
        const Pane &changed = this->pane(index);
        m_driveFolders[changed.drvList.Drive()] = changed.dirList.Path();
        dirList_Change(index);
    });
    connect(&pane.lstFiles, &FileListModel::ticksChanged, this,
            [this, index] { lstFiles_Click(index); });
    connect(&pane.lstFiles, &FileListModel::scrolled, this,
            [this, index] { lstFiles_Scroll(index); });
}

void FormModel::clientResized(double width, double height)
{
    m_clientWidth = width;
    m_clientHeight = height;
    Form_Resize();
}

void FormModel::Form_Resize()
{
    const ControlGeometry laidOut = layOut(m_clientWidth, m_clientHeight, m_geometry);
    for (const ControlSpec &spec : designedControls()) {
        const auto at = static_cast<size_t>(spec.id);
        if (laidOut[at] == m_geometry[at])
            continue;
        m_geometry[at] = laidOut[at];
        emit geometryChanged(spec.id);
    }
}

// Only the splitter bar can be dropped. On a folder list, the folder lists end where it was
// dropped; on a file list, they grow by the drop's distance below the file list's top.
void FormModel::dirList_DragDrop(int Index, ControlId Source, double X, double Y)
{
    Q_UNUSED(Index);
    Q_UNUSED(X);
    if (Source != ControlId::picDragBar)
        return;
    m_geometry[static_cast<size_t>(ControlId::dirList1)].height = std::abs(Y);
    Form_Resize();
}

void FormModel::lstFiles_DragDrop(int Index, ControlId Source, double X, double Y)
{
    Q_UNUSED(Index);
    Q_UNUSED(X);
    if (Source != ControlId::picDragBar)
        return;
    Geometry &folders = m_geometry[static_cast<size_t>(ControlId::dirList1)];
    if (folders.height + Y >= 0)
        folders.height += Y;
    Form_Resize();
}

void FormModel::lstFiles_Scroll(int Index)
{
    if (!mnuOptionSynch.isChecked())
        return;
    // A position the other list cannot take leaves it where it is.
    (void)pane(3 - Index).lstFiles.setTopIndex(pane(Index).lstFiles.TopIndex());
}

void FormModel::setCaption(const QString &caption)
{
    if (caption == m_caption)
        return;
    m_caption = caption;
    emit captionChanged();
}

void FormModel::setMousePointer(int pointer)
{
    m_mousePointer = pointer;
    m_host.setMousePointer(pointer);
}

void FormModel::processEvents()
{
    m_host.processEvents();
}

QString FormModel::currentFolderOfDrive(const QString &drive) const
{
    const auto found = m_driveFolders.find(drive);
    return found == m_driveFolders.end() ? drive : found->second;
}

void FormModel::Form_Load()
{
    ErrorTrap trap(m_prompter, QStringLiteral("Error on Form_Load!"));
    GetSettings();
    trap.run([this]() -> Status {
        m_host.showWindow();
        return {};
    });
    trap.run([this]() -> Status {
        m_host.focusFilter();
        return {};
    });
}

void FormModel::Form_Unload()
{
    if (!NoSaveOnExit)
        SaveSettings();
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
    if (SkipListing)
        return;
    Pane &p = pane(Index);
    ListingContext context {m_listingFileSystem != nullptr ? *m_listingFileSystem : m_fileSystem, m_prompter, *this, p, pane(3 - Index).txtStatus, txtSelect, MessageText,
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
    if (SkipListing) {
        dirList_Change(1);
        dirList_Change(2);
        return;
    }
    QStringList patterns;
    for (QString filter = txtSelect.Text().isEmpty() ? QStringLiteral("*.*") : txtSelect.Text(); !filter.isEmpty();)
        patterns << Parse(filter, QStringLiteral(","));
    ListingPrefetch ahead(m_fileSystem, DirListModel::withSeparator(pane(2).dirList.Path()), patterns,
                          mnuOptionSubfolders.isChecked() ? ListingPrefetch::Reach::Tree : ListingPrefetch::Reach::Folder);
    ahead.whileWaiting = [this] { m_host.processEvents(); };
    dirList_Change(1);
    m_listingFileSystem = &ahead;
    dirList_Change(2);
    m_listingFileSystem = nullptr;
}

void FormModel::lstFiles_Click(int Index)
{
    Pane &p = pane(Index);
    const int selected = p.lstFiles.SelCount();
    p.txtStatus.setText(selected == 1 ? QStringLiteral("1 file selected.")
                                      : QString::number(selected) + QLatin1String(" files selected."));
    p.txtStatus.setForeColor(QColor(0, 0, 255));
    const bool any = selected > 0;
    mnuCopy(Index)->setEnabled(any);
    mnuCopy(Index + 2)->setEnabled(any);
    mnuDel(Index)->setEnabled(any);
}


void FormModel::mnuFileRefresh_Click()
{
    pane(1).drvList.Refresh();
    pane(2).drvList.Refresh();
}

void FormModel::mnuFileExit_Click()
{
    m_host.unloadWindow();
    m_host.endProgram();
}

void FormModel::mnuFileExitNoSave_Click()
{
    NoSaveOnExit = true;
    m_host.endProgram();
}

// The option items reverse their own check marks when clicked; nothing else happens.
void FormModel::mnuOptionAction_Click() {}
void FormModel::mnuOptionNewer_Click() {}
void FormModel::mnuOptionWarn1_Click() {}
void FormModel::mnuOptionSynch_Click() {}

} // namespace dyadix
