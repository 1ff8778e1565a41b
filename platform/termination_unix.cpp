#include "platform/termination.h"

#include <QObject>
#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace platform
{
namespace
{

// A signal handler may do next to nothing safely: it writes one byte into this socket pair,
// and the event loop, watching the other end, does the real work.
int wakeUp[2] = {-1, -1};

// The first SIGTERM or SIGINT asks the event loop to close the note, which saves it. A save can
// hang (a stalled network mount, a settings lock held by a program that hangs), and then the
// loop never gets to a second request: that one ends the program at once, as by default.
volatile std::sig_atomic_t endRequested = 0;

extern "C" void wakeEventLoop(int signal)
{
    if (signal != SIGHUP) {
        if (endRequested) {
            std::signal(signal, SIG_DFL);
            std::raise(signal);
            return;
        }
        endRequested = 1;
    }
    const int savedErrno = errno;
    const char byte = 1;
    // A full socket already holds a wake-up, so a failed write loses nothing.
    [[maybe_unused]] const ssize_t written = ::write(wakeUp[1], &byte, 1);
    errno = savedErrno;
}

void catchUnlessIgnored(int signal)
{
    struct sigaction current {
    };
    if (sigaction(signal, nullptr, &current) != 0 || current.sa_handler == SIG_IGN)
        return;
    struct sigaction action {
    };
    action.sa_handler = wakeEventLoop;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(signal, &action, nullptr);
}

bool catchTerminationSignals()
{
    static const bool caught = [] {
        if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, wakeUp) != 0)
            return false;
        for (const int signal : {SIGTERM, SIGHUP, SIGINT})
            catchUnlessIgnored(signal);
        return true;
    }();
    return caught;
}

void drainWakeUps()
{
    char bytes[64];
    while (::read(wakeUp[0], bytes, sizeof bytes) > 0) {
    }
}

} // namespace

void onTerminationRequest(QObject *receiver, std::function<void()> handler)
{
    if (!catchTerminationSignals())
        return;
    auto *notifier = new QSocketNotifier(wakeUp[0], QSocketNotifier::Read, receiver);
    QObject::connect(notifier, &QSocketNotifier::activated, receiver,
                     [handler = std::move(handler)] {
                         drainWakeUps();
                         handler();
                     });
}

} // namespace platform
