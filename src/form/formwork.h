#pragma once

// Work for the window (copy, move, delete, a tree's listing) run off its thread.

#include "core/workmonitor.h"

#include <QElapsedTimer>

#include <algorithm>
#include <climits>

#include <memory>

namespace dyadix {

class FormHost;

// Runs a copy, move or delete for the window: each file's work runs on a thread of its own
// while the window goes on processing its events, and the window hears the progress a few
// times a second. The questions and prompts of the action stay on the window's thread, in the
// action's order. Work that does not stop when told to at once (stuck in the system on a
// network folder that stopped answering) is never waited for: once the program is closing,
// it is left behind and the window is told to end the program without it.
class FormWork final : public WorkMonitor
{
public:
    explicit FormWork(FormHost &host);
    ~FormWork() override;

    // How long work told to stop at once may take before it is left behind.
    static constexpr std::int64_t AbandonAfterMs = 1000;

    void begin(const QString &verb, int files, std::int64_t bytes) override;
    void nextFile(std::int64_t bytes, int files = 1) override;
    Status run(const std::function<Status(const FileSystem::CopyProgress &)> &work) override;
    bool stopRequested() const override { return m_stopAfterFile; }
    void end() override;

    bool working() const { return m_working; }
    // A listing at work has found so many files: shown as the work's progress.
    void showListing(std::int64_t files)
    {
        m_progress.file = int(std::min<std::int64_t>(files, INT_MAX));
        report();
    }
    // Stops once the current file is done; at once, should the file's copy not move on for a
    // second after this (it waits on the system).
    void stopAfterThisFile()
    {
        m_stopAfterFile = true;
        m_stopAfterFileAt = m_clock.isValid() ? m_clock.elapsed() : 0;
    }
    static constexpr std::int64_t FileInHandMs = 1000;
    // Stops the current file too: its target is left as it was.
    void stopNow();

private:
    struct Worker;
    void report();
    void keepWindowAlive();

    FormHost &m_host;
    std::shared_ptr<Worker> m_worker;
    WorkProgress m_progress;
    std::int64_t m_bytesBefore = 0; // of the files before the current one
    std::int64_t m_fileSize = 0;
    bool m_stopNow = false;
    bool m_stopAfterFile = false;
    bool m_working = false;
    QElapsedTimer m_clock;
    std::int64_t m_lastEvents = 0;
    std::int64_t m_stopNowAt = -1;
    std::int64_t m_stopAfterFileAt = -1;
};

} // namespace dyadix
