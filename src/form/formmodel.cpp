#include "formmodel.h"

#include "core/errortrap.h"
#include "panes/dirlistmodel.h"

namespace dyadix {

const QString FormModel::DesignedCaption = QStringLiteral("Dyadix - Windows File-Matching Program");

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
    connectMenus();
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

void FormModel::connectMenus()
{
    for (int index = 1; index <= 4; ++index)
        connect(mnuCopy(index), &QAction::triggered, this, [this, index] { mnuCopy_Click(index); });
    for (int index : {1, 2})
        connect(mnuDel(index), &QAction::triggered, this, [this, index] { mnuDel_Click(index); });
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
    connect(&mnuMatch, &QAction::triggered, this, [this] { mnuMatch_Click(); });
    connect(&mnuOptionSyncFoldr, &QAction::triggered, this, [this] { mnuOptionSyncFoldr_Click(); });
    // Both panes are listed again, with or without their subfolders.
    connect(&mnuOptionSubfolders, &QAction::triggered, this, [this] { listBothPanes(); });
    connect(&mnuFileExport, &QAction::triggered, this, [this] { mnuFileExport_Click(); });
    connect(&mnuFileBatch, &QAction::triggered, this, [this] { mnuFileBatch_Click(); });
    connect(&mnuHelpHowTo, &QAction::triggered, this, [this] { mnuHelpHowTo_Click(); });
    connect(&mnuHelpAbout, &QAction::triggered, this, [this] { mnuHelpAbout_Click(); });
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
    connect(&pane.lstFiles.scrollPosition(), &ListScroll::scrolled, this,
            [this, index] { lstFiles_Scroll(index); });
}

void FormModel::placeControls(const std::vector<ControlId> &changed)
{
    for (ControlId id : changed)
        emit geometryChanged(id);
}

void FormModel::clientResized(double width, double height)
{
    placeControls(m_geometry.clientResized(width, height));
}

void FormModel::Form_Resize()
{
    placeControls(m_geometry.layOutAgain());
}

// Only the splitter bar can be dropped, on a folder list or on a file list.
void FormModel::dirList_DragDrop(int Index, ControlId Source, double X, double Y)
{
    Q_UNUSED(Index);
    Q_UNUSED(X);
    if (Source == ControlId::picDragBar)
        placeControls(m_geometry.droppedOnFolderList(Y));
}

void FormModel::lstFiles_DragDrop(int Index, ControlId Source, double X, double Y)
{
    Q_UNUSED(Index);
    Q_UNUSED(X);
    if (Source == ControlId::picDragBar)
        placeControls(m_geometry.droppedOnFileList(Y));
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

} // namespace dyadix
