#include "formwork.h"

#include "formhost.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace dyadix {

namespace {
// The window waits at most this long for its events while files are worked on.
constexpr std::int64_t EventsEveryMs = 50;
} // namespace

// One thread that runs the work handed to it, one piece at a time. It is never joined: what
// it shares with the window lives as long as either of them holds it, so that a thread stuck
// in the system can be left behind safely.
struct FormWork::Worker
{
    std::mutex mutex;
    std::condition_variable changed;
    std::function<Status(const FileSystem::CopyProgress &)> work;
    bool pending = false;
    bool done = false;
    bool quit = false;
    Status result;
    std::atomic<std::int64_t> bytesDone = 0;
    std::atomic<std::int64_t> progressHeard = 0; // how often the work in hand told its progress
    std::atomic<bool> stop = false;

    static std::shared_ptr<Worker> start()
    {
        auto worker = std::make_shared<Worker>();
        std::thread([worker] { worker->serve(); }).detach();
        return worker;
    }

    void serve()
    {
        const FileSystem::CopyProgress progress = [this](std::int64_t done) {
            bytesDone = done;
            ++progressHeard;
            return !stop;
        };
        std::unique_lock lock(mutex);
        for (;;) {
            changed.wait(lock, [this] { return pending || quit; });
            if (quit)
                return;
            pending = false;
            const auto task = std::move(work);
            lock.unlock();
            Status status = task(progress);
            lock.lock();
            result = std::move(status);
            done = true;
            changed.notify_all();
        }
    }
};

FormWork::FormWork(FormHost &host)
    : m_host(host)
{
}

FormWork::~FormWork()
{
    if (m_worker) {
        std::lock_guard lock(m_worker->mutex);
        m_worker->quit = true;
        m_worker->changed.notify_all();
    }
}

void FormWork::begin(const QString &verb, int files, std::int64_t bytes)
{
    m_progress = WorkProgress {verb, 0, files, 0, bytes, 0};
    m_bytesBefore = 0;
    m_fileSize = 0;
    m_stopNow = false;
    m_stopNowAt = -1;
    m_stopAfterFile = false;
    m_stopAfterFileAt = -1;
    m_working = true;
    m_clock.start();
    m_lastEvents = 0;
    m_host.beginWork();
}

void FormWork::nextFile(std::int64_t bytes, int files)
{
    m_bytesBefore += m_fileSize;
    m_fileSize = bytes;
    if (m_worker)
        m_worker->bytesDone = 0;
    m_progress.file += files;
    report();
}

void FormWork::stopNow()
{
    m_stopAfterFile = true;
    m_stopNow = true;
    if (m_stopNowAt == -1)
        m_stopNowAt = m_clock.isValid() ? m_clock.elapsed() : 0;
    if (m_worker)
        m_worker->stop = true;
}

void FormWork::report()
{
    const std::int64_t fileDone = m_worker ? std::int64_t(m_worker->bytesDone) : 0;
    m_progress.bytesDone = m_bytesBefore + std::clamp<std::int64_t>(fileDone, 0, m_fileSize);
    m_progress.elapsedMs = m_clock.elapsed();
    m_host.showWork(m_progress);
}

void FormWork::keepWindowAlive()
{
    if (m_clock.elapsed() - m_lastEvents < EventsEveryMs)
        return;
    report();
    m_host.processEvents();
    m_lastEvents = m_clock.elapsed();
}

Status FormWork::run(const std::function<Status(const FileSystem::CopyProgress &)> &work)
{
    if (!m_worker)
        m_worker = Worker::start();
    const std::shared_ptr<Worker> worker = m_worker;
    std::unique_lock lock(worker->mutex);
    worker->work = work;
    worker->pending = true;
    worker->done = false;
    worker->stop = m_stopNow;
    worker->progressHeard = 0;
    worker->changed.notify_all();
    // A file that is copied tells its progress; one whose progress stands still a second after
    // Stop's Yes waits on the system. Other work (a flush, a removal) is not cut short.
    std::int64_t bytes = 0, stillSince = m_clock.elapsed();
    for (;;) {
        const std::int64_t wait = std::max<std::int64_t>(1, EventsEveryMs - (m_clock.elapsed() - m_lastEvents));
        if (worker->changed.wait_for(lock, std::chrono::milliseconds(wait), [&] { return worker->done; })) {
            Status result = std::move(worker->result);
            lock.unlock();
            keepWindowAlive();
            return result;
        }
        lock.unlock();
        keepWindowAlive();
        if (const std::int64_t now = worker->bytesDone; now != bytes) {
            bytes = now;
            stillSince = m_clock.elapsed();
        }
        if (m_stopAfterFile && !m_stopNow && worker->progressHeard > 0
            && m_clock.elapsed() - std::max(stillSince, m_stopAfterFileAt) >= FileInHandMs)
            stopNow(); // the file in hand does not end: it is left as it was
        if (m_stopNow && m_clock.elapsed() - m_stopNowAt >= AbandonAfterMs) {
            // Told to stop at once and still not back: it waits on the system. The next work
            // gets a thread of its own, and the window ends the program without this one.
            m_worker.reset();
            m_host.abandonWork();
            return ErrorNumber::Stopped;
        }
        lock.lock();
    }
}

void FormWork::end()
{
    m_working = false;
    m_host.endWork();
}

} // namespace dyadix
