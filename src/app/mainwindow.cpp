// The window: its menus, its start and end, and the window model's requests of the window.
#include "mainwindow.h"

#include "clientarea.h"
#include "inputguard.h"
#include "qtprompter.h"
#include "services.h"
#include "terminationwatcher.h"
#include "workprogressbox.h"
#include "wrappingmenubar.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMenu>
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

MainWindow::~MainWindow()
{
    // The controls and menus point into the window model: they go first.
    delete takeCentralWidget();
    delete menuWidget();
}

QWidget *MainWindow::control(ControlId id) const
{
    return m_client->control(id);
}

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
    m_client = new ClientArea(*m_form, buildMenus(), this);
    setCentralWidget(m_client);
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
    // Asked in the middle of a command that is no work of its own (a folder's listing): the
    // window closes once the command is done.
    if (m_inCommand > 0) {
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
    m_client->control(ControlId::txtSelect)->setFocus();
}

void MainWindow::unloadWindow()
{
    close();
}

void MainWindow::endProgram()
{
    QCoreApplication::exit(0);
}

void MainWindow::setMousePointer(MousePointer pointer)
{
    const bool busy = pointer == MousePointer::Hourglass;
    if (busy == m_busy)
        return;
    m_busy = busy;
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
    // A listing is done: a close asked meanwhile goes on.
    if (!busy && !m_form->working() && std::exchange(m_closeAfterWork, false))
        QTimer::singleShot(0, this, &QWidget::close);
}

void MainWindow::processEvents()
{
    // The window takes no input while a command runs, but its close request gets through (Qt
    // holds it back with the input when all input is held back); the progress box and the
    // questions take theirs.
    const InputGuard guard(*this);
    ++m_inCommand;
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    --m_inCommand;
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
    if (!m_workBox->isVisible() && progress.elapsedMs >= WorkBoxAfterMs && isVisible()) {
        // The keyboard goes to the box: the window takes no keys while work runs, and Escape
        // and Alt+S are the box's.
        m_workBox->show();
        m_workBox->activateWindow();
    }
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
