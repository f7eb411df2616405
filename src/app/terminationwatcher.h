#pragma once

#include <QObject>

class QSocketNotifier;
class QWidget;

namespace dyadix {

// Closes a window, as its close box does, when the session ends the program with SIGTERM,
// SIGHUP or SIGINT, so that the window's unload handling (storing the settings) still runs.
class TerminationWatcher final : public QObject
{
    Q_OBJECT

public:
    explicit TerminationWatcher(QWidget *window);
    ~TerminationWatcher() override;

private:
    QSocketNotifier *m_notifier = nullptr;
};

} // namespace dyadix
