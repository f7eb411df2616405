#pragma once

// A signal to end the program (SIGTERM, SIGINT, SIGHUP), heard on the window's thread.

#include <QObject>

class QSocketNotifier;

namespace dyadix {

// Hears SIGTERM, SIGHUP and SIGINT (a logout, a service manager, Ctrl+C) on the window's
// thread, as `signalled`, so that the window ends the program as a normal exit does. From the
// first signal on, the program has a moment to end: should its thread be held by the system
// (a network folder that stopped answering), the process ends then by itself, saying so on
// standard error, until `ended` says the exit is done.
class TerminationWatcher final : public QObject
{
    Q_OBJECT

public:
    // How long the program may take to end after a signal.
    static constexpr int EndWithinMs = 1800;

    explicit TerminationWatcher(QObject *parent);
    ~TerminationWatcher() override;

    // The exit that the signal asked for is done: nothing more needs ending.
    void ended();

signals:
    void signalled();

private:
    QSocketNotifier *m_notifier = nullptr;
};

} // namespace dyadix
