#pragma once

#include <functional>
#include <sys/socket.h>
#include <sys/types.h>

namespace platform
{

// The system calls of the running-note guard on Unix, each the plain call by default. A test
// replaces one of them to make it fail the way the system can (a refused or full socket, a
// knock from another user, an answer that never comes).
struct GuardCalls {
    std::function<uid_t()> user; // geteuid
    std::function<int(int fd, const sockaddr *address, socklen_t length)> bind;
    std::function<int(int fd, const sockaddr *address, socklen_t length)> connect;
    // accept4 of a connection, non-blocking and closed on exec.
    std::function<int(int listener)> accept;
    // The user of the process at the other end of a connected socket; false when unknown.
    std::function<bool(int fd, uid_t *user)> peerUser;
    // Waits up to `ms` for `fd` to have something to read: poll's result.
    std::function<int(int fd, int ms)> waitReadable;
};

// The calls in use; tests assign to them and restore systemGuardCalls() afterwards.
GuardCalls &guardCalls();
GuardCalls systemGuardCalls();

} // namespace platform
