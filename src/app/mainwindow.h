// The program's one window, what the window model asks of it on screen.
#pragma once

#include "form/formhost.h"
#include "form/formmodel.h"
#include "core/filesystem.h"
#include "core/prompter.h"
#include "core/settingsstore.h"
#include "core/shell.h"
#include "windowplacement.h"

#include <QMainWindow>

#include <functional>
#include <memory>
#include <vector>

namespace dyadix {

class ClientArea;
struct Services;
class TerminationWatcher;
class WorkProgressBox;
class WrappingMenuBar;

// The program's one window: builds the menus and the client area's controls for the window
// model, and does what the model asks of the window: its frame and state, the busy pointer,
// the progress box of work that takes a while, and its end, by the user or by a signal.
class MainWindow final : public QMainWindow, private FormHost
{
    Q_OBJECT

public:
    // A window on this machine's file system, settings and desktop, with its own message boxes.
    explicit MainWindow(Services &services, QWidget *parent = nullptr);
    // A window on the given services (tests pass fakes); the prompter may be null for the
    // window's own message boxes.
    MainWindow(FileSystem &fileSystem, Prompter *prompter, SettingsStore &settings, Shell &shell,
               ProgramInfo program, QWidget *parent = nullptr);
    ~MainWindow() override;

    FormModel &form() { return *m_form; }
    QWidget *control(ControlId id) const;
    // The menu bar, on as many rows as its entries need.
    WrappingMenuBar *menus() const { return m_menuBar; }
    // The box that shows a copy, move or delete that takes a while (null until one has run).
    WorkProgressBox *workBox() const { return m_workBox; }
    // How long work runs before its progress box shows.
    static constexpr std::int64_t WorkBoxAfterMs = 300;

    // The smallest the window may be made, in pixels: room for its title, a few commands
    // of the menu bar and the top of both panes.
    static constexpr QSize SmallestSize {160, 120};

    // Loads the window while it is hidden, then shows it; false when a signal ended the
    // program meanwhile (the settings are stored and the window is closed).
    bool start();

    // Ends the process at once, for work that cannot be waited for (see abandonWork); tests
    // replace it.
    std::function<void()> endProcess;

    // The program's icon, at any size.
    static QIcon programIcon();

protected:
    void closeEvent(QCloseEvent *event) override;
    void moveEvent(QMoveEvent *event) override;

private:
    void build(FileSystem &fileSystem, Prompter &prompter, SettingsStore &settings, Shell &shell,
               ProgramInfo program);
    // Builds the menu bar and its menus; returns the commands in the menus.
    std::vector<const QAction *> buildMenus();

    WindowFrame windowFrame() override;
    void moveWindow(const WindowFrame &frame) override;
    int windowState() override;
    void setWindowState(int state) override;
    double screenWidth() override;
    double screenHeight() override;
    void showWindow() override;
    void focusFilter() override;
    void unloadWindow() override;
    void endProgram() override;
    void setMousePointer(MousePointer pointer) override;
    void processEvents() override;
    void beginWork() override;
    void showWork(const WorkProgress &progress) override;
    void endWork() override;
    void abandonWork() override;
    // A signal asked the program to end: open boxes are cancelled, work stops at once and the
    // window closes as at a normal exit.
    void endOnSignal();

    std::unique_ptr<Prompter> m_windowPrompter;
    std::unique_ptr<FormModel> m_form;
    ClientArea *m_client = nullptr;
    WrappingMenuBar *m_menuBar = nullptr;
    bool m_busy = false;
    WorkProgressBox *m_workBox = nullptr;
    int m_inCommand = 0; // inside processEvents, asked by a command that runs
    // Closing was asked for while files were worked on: the window closes once they stop.
    bool m_closeAfterWork = false;
    TerminationWatcher *m_termination = nullptr;
    bool m_loading = false;
    bool m_terminating = false;
    WindowPlacement m_placement {*this};
};

} // namespace dyadix
