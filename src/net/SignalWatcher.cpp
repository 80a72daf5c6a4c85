#include "net/SignalWatcher.h"

#include <QSocketNotifier>
#include <QTimer>

#ifdef _WIN32
#include <windows.h>

#include <atomic>
#else
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace zelmo::net {

#ifdef _WIN32

namespace {
std::atomic<bool> requested{false};

BOOL WINAPI OnConsoleEvent(DWORD) {
    requested = true;
    return TRUE;
}
}  // namespace

SignalWatcher::SignalWatcher(QObject* parent) : QObject(parent) {
    SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
    // Windows has no self-pipe for console events: a flag polled by the event loop.
    poll_ = new QTimer(this);
    connect(poll_, &QTimer::timeout, this, &SignalWatcher::drain);
    poll_->start(100);
}

SignalWatcher::~SignalWatcher() {
    SetConsoleCtrlHandler(OnConsoleEvent, FALSE);
}

void SignalWatcher::drain() {
    if (requested.exchange(false))
        emit terminationRequested();
}

#else

namespace {

int pipeFds[2] = {-1, -1};

void OnSignal(int) {
    const int saved = errno;
    const char byte = 1;
    // Only async-signal-safe work here; a full pipe means a request is already pending.
    [[maybe_unused]] const auto written = ::write(pipeFds[1], &byte, 1);
    errno = saved;
}

void Install(void (*handler)(int)) {
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

}  // namespace

SignalWatcher::SignalWatcher(QObject* parent) : QObject(parent) {
    if (::pipe(pipeFds) != 0)
        return;
    for (const int fd : pipeFds) {
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
        ::fcntl(fd, F_SETFD, FD_CLOEXEC);
    }
    notifier_ = new QSocketNotifier(pipeFds[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &SignalWatcher::drain);
    Install(OnSignal);
}

SignalWatcher::~SignalWatcher() {
    Install(SIG_DFL);
    for (int& fd : pipeFds) {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
}

void SignalWatcher::drain() {
    char bytes[16];
    bool any = false;
    while (::read(pipeFds[0], bytes, sizeof bytes) > 0)
        any = true;
    if (any)
        emit terminationRequested();
}

#endif

}  // namespace zelmo::net
