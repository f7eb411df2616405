#include "terminationwatcher.h"

#include <QSocketNotifier>

#include <csignal>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

namespace dyadix {

namespace {

int signalPipe[2] = {-1, -1};
volatile std::sig_atomic_t endStatus = 0;

void setDeadline(int milliseconds)
{
    itimerval timer {};
    timer.it_value.tv_sec = milliseconds / 1000;
    timer.it_value.tv_usec = (milliseconds % 1000) * 1000;
    ::setitimer(ITIMER_REAL, &timer, nullptr);
}

void onSignal(int signal)
{
    if (endStatus == 0) {
        endStatus = 128 + signal;
        setDeadline(TerminationWatcher::EndWithinMs);
    }
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(signalPipe[0], &byte, 1);
}

void onDeadline(int)
{
    static const char message[] = "dyadix: ended without storing the settings: the program was "
                                  "waiting on the system when it was told to end\n";
    [[maybe_unused]] const ssize_t written = ::write(STDERR_FILENO, message, sizeof message - 1);
    ::_exit(endStatus != 0 ? endStatus : 1);
}

void handle(int signal, void (*handler)(int))
{
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(signal, &action, nullptr);
}

} // namespace

TerminationWatcher::TerminationWatcher(QObject *parent)
    : QObject(parent)
{
    if (signalPipe[0] < 0 && ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalPipe) != 0)
        return;
    m_notifier = new QSocketNotifier(signalPipe[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, [this] {
        char byte = 0;
        [[maybe_unused]] const ssize_t read = ::read(signalPipe[1], &byte, 1);
        emit signalled();
    });
    handle(SIGALRM, onDeadline);
    for (int signal : {SIGTERM, SIGHUP, SIGINT})
        handle(signal, onSignal);
}

TerminationWatcher::~TerminationWatcher()
{
    for (int signal : {SIGTERM, SIGHUP, SIGINT})
        handle(signal, SIG_DFL);
    ended();
}

void TerminationWatcher::ended()
{
    setDeadline(0);
    endStatus = 0;
}

} // namespace dyadix
