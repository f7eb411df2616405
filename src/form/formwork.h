#pragma once

#include "actions/workmonitor.h"

#include <QElapsedTimer>

#include <atomic>

namespace dyadix {

class FormHost;

// Runs a copy, move or delete for the window: a large file is copied on a thread of its own
// while the window goes on processing its events, smaller work runs at once with the events
// processed between files, and the window hears the progress a few times a second. The
// questions and prompts of the action stay on the window's thread, in the action's order.
class FormWork final : public WorkMonitor
{
public:
    explicit FormWork(FormHost &host)
        : m_host(host)
    {
    }

    // Files from this size on are copied off the window's thread.
    static constexpr std::int64_t OffThreadBytes = std::int64_t(1) << 20;

    void begin(const QString &verb, int files, std::int64_t bytes) override;
    void nextFile(std::int64_t bytes) override;
    Status run(const std::function<Status(const FileSystem::CopyProgress &)> &work) override;
    bool stopRequested() const override { return m_stopAfterFile; }
    void end() override;

    bool working() const { return m_working; }
    // Stops once the current file is done.
    void stopAfterThisFile() { m_stopAfterFile = true; }
    // Stops the current file too: its target is left as it was.
    void stopNow()
    {
        m_stopAfterFile = true;
        m_stopNow = true;
    }

private:
    void report();
    void keepWindowAlive();

    FormHost &m_host;
    WorkProgress m_progress;
    std::int64_t m_bytesBefore = 0; // of the files before the current one
    std::int64_t m_fileSize = 0;
    std::atomic<std::int64_t> m_fileBytesDone = 0;
    std::atomic<bool> m_stopNow = false;
    bool m_stopAfterFile = false;
    bool m_working = false;
    QElapsedTimer m_clock;
    std::int64_t m_lastEvents = 0;
};

} // namespace dyadix
