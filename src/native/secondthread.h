#pragma once

// One more thread for the program's work beside the calling one, started once and kept.

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>

namespace dyadix::native {

// A thread that stays for the process and runs one piece of work at a time: work that comes
// in many small calls would otherwise start a thread for every few of them. One caller at a
// time.
class SecondThread
{
public:
    static SecondThread &instance();
    void start(std::function<void()> work);
    // Whether the work is done, waiting at most `longest` for it.
    bool waitFor(std::chrono::milliseconds longest);

private:
    SecondThread();
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::function<void()> m_work;
    bool m_done = true;
};

} // namespace dyadix::native
