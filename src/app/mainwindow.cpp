#include "mainwindow.h"

#include "dirlistwidget.h"
#include "dragbar.h"
#include "drivelistwidget.h"
#include "filelistwidget.h"
#include "qtprompter.h"
#include "services.h"
#include "terminationwatcher.h"
#include "textboxwidget.h"
#include "workprogressbox.h"
#include "wrappingmenubar.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMenu>
#include <QResizeEvent>
#include <QTimer>

#include <cstdio>
#include <unistd.h>

namespace dyadix {

MainWindow::MainWindow(Services &services, QWidget *parent)
    : MainWindow(services.fileSystem, nullptr, services.settings, services.shell, services.program,
                 parent)
{
}

MainWindow::MainWindow(FileSystem &fileSystem, Prompter *prompter, SettingsStore &settings,
                       Shell &shell, ProgramInfo program, QWidget *parent)
    : QMainWindow(parent)
{
    if (prompter == nullptr) {
        m_windowPrompter = std::make_unique<QtPrompter>(this);
        prompter = m_windowPrompter.get();
    }
    build(fileSystem, *prompter, settings, shell, std::move(program));
}

MainWindow::~MainWindow() = default;

void MainWindow::build(FileSystem &fileSystem, Prompter &prompter, SettingsStore &settings,
                       Shell &shell, ProgramInfo program)
{
    endProcess = [] {
        std::fflush(nullptr);
        ::_exit(0);
    };
    m_form = std::make_unique<FormModel>(fileSystem, prompter, settings, shell,
                                         static_cast<FormHost &>(*this), std::move(program));
    setWindowTitle(m_form->Caption());
    setWindowIcon(programIcon());
    connect(m_form.get(), &FormModel::captionChanged, this,
            [this] { setWindowTitle(m_form->Caption()); });
    buildControls(buildMenus());
    setMinimumSize(SmallestSize);
    const int width = toPixels(DesignedClientWidth);
    resize(width, toPixels(DesignedClientHeight) + m_menuBar->heightForWidth(width));
}

std::vector<const QAction *> MainWindow::buildMenus()
{
    FormModel &form = *m_form;
    m_menuBar = new WrappingMenuBar(this);
    setMenuWidget(m_menuBar);
    QMenu *file = m_menuBar->addMenu(form.mnuFile.text());
    for (QAction *item : form.fileMenuItems())
        file->addAction(item);
    connect(file, &QMenu::aboutToShow, this, [this] { m_form->mnuFile_Click(); });
    QMenu *options = m_menuBar->addMenu(form.mnuOption.text());
    for (QAction *item : form.optionMenuItems())
        options->addAction(item);
    for (QAction *command : form.menuBarCommands())
        m_menuBar->addEntry(command);
    QMenu *help = m_menuBar->addMenu(form.mnuHelp.text());
    for (QAction *item : form.helpMenuItems())
        help->addAction(item);
    // Ctrl shortcuts work while the menus are closed.
    for (QAction *item : form.fileMenuItems())
        addAction(item);
    for (QAction *item : form.optionMenuItems())
        addAction(item);
    std::vector<const QAction *> inMenus;
    for (const QMenu *menu : {file, options, help}) {
        const QList<QAction *> items = menu->actions();
        inMenus.insert(inMenus.end(), items.begin(), items.end());
    }
    return inMenus;
}

void MainWindow::buildControls(const std::vector<const QAction *> &menuCommands)
{
    FormModel &form = *m_form;
    auto *client = new QWidget(this);
    setCentralWidget(client);
    DriveListWidget::installAccessibleInterface();
    m_controls[ControlId::drvList1] = new DriveListWidget(form.pane(1).drvList, client);
    m_controls[ControlId::txtSelect] = new TextBoxWidget(form.txtSelect, true, menuCommands, client);
    m_controls[ControlId::drvList2] = new DriveListWidget(form.pane(2).drvList, client);
    m_controls[ControlId::dirList1] = new DirListWidget(form.pane(1).dirList, client);
    m_controls[ControlId::dirList2] = new DirListWidget(form.pane(2).dirList, client);
    m_controls[ControlId::lstFiles1] = new FileListWidget(form.pane(1).lstFiles, client);
    m_controls[ControlId::lstFiles2] = new FileListWidget(form.pane(2).lstFiles, client);
    m_controls[ControlId::txtStatus1] =
        new TextBoxWidget(form.pane(1).txtStatus, false, menuCommands, client);
    m_controls[ControlId::txtStatus2] =
        new TextBoxWidget(form.pane(2).txtStatus, false, menuCommands, client);
    auto *bar = new DragBar(client);
    connect(bar, &DragBar::dropped, this, &MainWindow::dropSplitter);
    m_controls[ControlId::picDragBar] = bar;
    client->installEventFilter(this);

    QWidget *previous = nullptr;
    for (const ControlSpec &spec : designedControls()) {
        QWidget *widget = m_controls.at(spec.id);
        widget->setObjectName(QString::fromLatin1(spec.name));
        widget->setToolTip(QString::fromLatin1(spec.toolTip));
        widget->setAccessibleName(QString::fromLatin1(spec.accessibleName));
        if (previous != nullptr)
            setTabOrder(previous, widget);
        previous = widget;
        place(spec.id);
    }
    connect(&form, &FormModel::geometryChanged, this, &MainWindow::place);
}

void MainWindow::place(ControlId id)
{
    const Geometry g = m_form->geometry(id);
    m_controls.at(id)->setGeometry(toPixels(g.left), toPixels(g.top),
                                   std::max(0, toPixels(g.width)), std::max(0, toPixels(g.height)));
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == centralWidget() && event->type() == QEvent::Resize) {
        const QSize client = static_cast<QResizeEvent *>(event)->size();
        m_form->clientResized(toTwips(client.width()), toTwips(client.height()));
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::dropSplitter(QPoint globalPosition)
{
    const std::pair<ControlId, int> targets[] = {{ControlId::dirList1, 1}, {ControlId::dirList2, 2},
                                                 {ControlId::lstFiles1, 1}, {ControlId::lstFiles2, 2}};
    QWidget *under = QApplication::widgetAt(globalPosition);
    for (const auto &[id, index] : targets) {
        QWidget *control = m_controls.at(id);
        if (under == nullptr || (under != control && !control->isAncestorOf(under)))
            continue;
        const QPoint at = control->mapFromGlobal(globalPosition);
        const double x = toTwips(at.x());
        const double y = toTwips(at.y());
        if (id == ControlId::dirList1 || id == ControlId::dirList2)
            m_form->dirList_DragDrop(index, ControlId::picDragBar, x, y);
        else
            m_form->lstFiles_DragDrop(index, ControlId::picDragBar, x, y);
        return;
    }
}

bool MainWindow::start()
{
    m_termination = new TerminationWatcher(this);
    connect(m_termination, &TerminationWatcher::signalled, this, &MainWindow::endOnSignal);
    m_loading = true;
    m_form->Form_Load();
    m_loading = false;
    // A signal during loading: the window closes as at any exit, without being shown.
    if (m_terminating)
        close();
    return !m_terminating;
}

void MainWindow::endOnSignal()
{
    if (std::exchange(m_terminating, true))
        return;
    if (auto *own = dynamic_cast<QtPrompter *>(m_windowPrompter.get()))
        own->cancelAll();
    if (m_form->working()) {
        m_form->stopWorkNow();
        m_closeAfterWork = true;
        return;
    }
    // During start-up the loading ends first (its boxes are cancelled), then the program.
    if (!m_loading)
        QTimer::singleShot(0, this, &QWidget::close);
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (m_form->working()) {
        m_form->stopWorkNow();
        m_closeAfterWork = true;
        event->ignore();
        return;
    }
    m_form->Form_Unload();
    if (m_termination != nullptr)
        m_termination->ended();
    event->accept();
}

WindowFrame MainWindow::windowFrame()
{
    return m_placement.frame();
}

void MainWindow::moveWindow(const WindowFrame &frame)
{
    m_placement.move(frame);
}

void MainWindow::moveEvent(QMoveEvent *event)
{
    QMainWindow::moveEvent(event);
    m_placement.moved();
}

int MainWindow::windowState()
{
    return m_placement.state();
}

void MainWindow::setWindowState(int state)
{
    m_placement.setState(state);
}

double MainWindow::screenWidth()
{
    return m_placement.screenWidth();
}

double MainWindow::screenHeight()
{
    return m_placement.screenHeight();
}

void MainWindow::showWindow()
{
    if (m_terminating)
        return;
    show();
    // Window managers give a new window the keyboard; a bare X server needs asking.
    activateWindow();
}

void MainWindow::focusFilter()
{
    m_controls.at(ControlId::txtSelect)->setFocus();
}

void MainWindow::unloadWindow()
{
    close();
}

void MainWindow::endProgram()
{
    QCoreApplication::exit(0);
}

void MainWindow::setMousePointer(int pointer)
{
    const bool busy = pointer == HourglassPointer;
    if (busy == m_busy)
        return;
    m_busy = busy;
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

void MainWindow::processEvents()
{
    // While the progress box shows, it alone takes input (it is modal to the window).
    const bool boxShown = m_workBox != nullptr && m_workBox->isVisible();
    QCoreApplication::processEvents(boxShown ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents);
}

void MainWindow::beginWork()
{
    if (m_workBox == nullptr) {
        m_workBox = new WorkProgressBox(this);
        connect(m_workBox, &WorkProgressBox::stopAsked, this, [this] { m_form->stopWork(); });
    }
}

void MainWindow::showWork(const WorkProgress &progress)
{
    if (m_workBox == nullptr)
        return;
    m_workBox->showProgress(progress);
    if (!m_workBox->isVisible() && progress.elapsedMs >= WorkBoxAfterMs && isVisible())
        m_workBox->show();
}

void MainWindow::abandonWork()
{
    // The work's thread waits on the system and cannot be waited for: the settings are stored
    // as at any exit, and the process ends with the thread. The file it was writing is an
    // unnamed or temporary file that goes with it; its target and a move's source are as
    // they were.
    if (!m_closeAfterWork)
        return;
    m_form->Form_Unload();
    if (m_termination != nullptr)
        m_termination->ended();
    endProcess();
}

void MainWindow::endWork()
{
    if (m_workBox != nullptr)
        m_workBox->hide();
    if (std::exchange(m_closeAfterWork, false))
        QTimer::singleShot(0, this, &QWidget::close);
}

// Two file panes with an arrow carrying a file from one to the other: the drawing the desktop
// shows for the program (data/dyadix.svg), built into the program.
QIcon MainWindow::programIcon()
{
    return QIcon(QStringLiteral(":/dyadix.svg"));
}

} // namespace dyadix
