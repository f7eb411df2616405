#include "secondthread.h"

#include <thread>
#include <utility>

namespace dyadix::native {

SecondThread &SecondThread::instance()
{
    static SecondThread *const thread = new SecondThread; // never ended: it may wait to the last
    return *thread;
}

SecondThread::SecondThread()
{
    std::thread([this] {
        std::unique_lock lock(m_mutex);
        for (;;) {
            m_changed.wait(lock, [this] { return bool(m_work); });
            const std::function<void()> work = std::exchange(m_work, nullptr);
            lock.unlock();
            work();
            lock.lock();
            m_done = true;
            m_changed.notify_all();
        }
    }).detach();
}

void SecondThread::start(std::function<void()> work)
{
    std::lock_guard lock(m_mutex);
    m_work = std::move(work);
    m_done = false;
    m_changed.notify_all();
}

bool SecondThread::waitFor(std::chrono::milliseconds longest)
{
    std::unique_lock lock(m_mutex);
    return m_changed.wait_for(lock, longest, [this] { return m_done; });
}

} // namespace dyadix::native
