#include "formwork.h"

#include "formhost.h"

#include <algorithm>
#include <chrono>
#include <future>

namespace dyadix {

namespace {
// The window waits at most this long for its events while files are worked on.
constexpr std::int64_t EventsEveryMs = 50;
constexpr std::chrono::milliseconds PollEvery(20);
} // namespace

void FormWork::begin(const QString &verb, int files, std::int64_t bytes)
{
    m_progress = WorkProgress {verb, 0, files, 0, bytes, 0};
    m_bytesBefore = 0;
    m_fileSize = 0;
    m_fileBytesDone = 0;
    m_stopNow = false;
    m_stopAfterFile = false;
    m_working = true;
    m_clock.start();
    m_lastEvents = 0;
    m_host.beginWork();
}

void FormWork::nextFile(std::int64_t bytes)
{
    m_bytesBefore += m_fileSize;
    m_fileSize = bytes;
    m_fileBytesDone = 0;
    ++m_progress.file;
    report();
}

void FormWork::report()
{
    m_progress.bytesDone = m_bytesBefore + std::clamp<std::int64_t>(m_fileBytesDone, 0, m_fileSize);
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
    const FileSystem::CopyProgress progress = [this](std::int64_t done) {
        m_fileBytesDone = done;
        return !m_stopNow;
    };
    if (m_fileSize < OffThreadBytes) {
        Status status = work(progress);
        keepWindowAlive();
        return status;
    }
    std::future<Status> done = std::async(std::launch::async, [&] { return work(progress); });
    do {
        report();
        m_host.processEvents();
    } while (done.wait_for(PollEvery) != std::future_status::ready);
    m_lastEvents = m_clock.elapsed();
    return done.get();
}

void FormWork::end()
{
    m_working = false;
    m_host.endWork();
}

} // namespace dyadix
