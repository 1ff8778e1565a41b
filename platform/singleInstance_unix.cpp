#include "platform/singleInstance.h"

#include <QFile>
#include <QObject>
#include <QSocketNotifier>
#include <QThread>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace platform
{

struct NoteInstance::State {
    int lock = -1;     // held for the life of the first program; the system lets go at its end
    int listener = -1; // where later starts knock
    QByteArray socketPath;
    bool first = true;

    ~State()
    {
        if (listener >= 0) {
            ::close(listener);
            ::unlink(socketPath.constData());
        }
        if (lock >= 0)
            ::close(lock);
    }
};

namespace
{

// A folder that only this user can enter and change: the runtime folder's rule, checked, since
// a folder that others can write would let them take the note's socket or block it.
bool isPrivateFolder(const QByteArray &path)
{
    struct stat st;
    return !path.isEmpty() && path.startsWith('/') && ::lstat(path.constData(), &st) == 0 &&
           S_ISDIR(st.st_mode) && st.st_uid == ::geteuid() && (st.st_mode & 077) == 0;
}

// $XDG_RUNTIME_DIR; without one, a folder of this user's own in /tmp, made private on first use.
QByteArray runtimeFolder()
{
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty())
        return isPrivateFolder(runtime) ? runtime : QByteArray();
    const QByteArray own = "/tmp/deskMemo-" + QByteArray::number(::geteuid());
    ::mkdir(own.constData(), 0700);
    return isPrivateFolder(own) ? own : QByteArray();
}

bool toAddress(const QByteArray &path, sockaddr_un *address)
{
    if (size_t(path.size()) >= sizeof address->sun_path)
        return false;
    std::memset(address, 0, sizeof *address);
    address->sun_family = AF_UNIX;
    std::memcpy(address->sun_path, path.constData(), size_t(path.size()));
    return true;
}

int listenAt(const QByteArray &path)
{
    sockaddr_un address;
    if (!toAddress(path, &address))
        return -1;
    // A socket left by a note that was killed: the lock says that nobody listens on it any more.
    ::unlink(path.constData());
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    if (::bind(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) != 0 ||
        ::listen(fd, 4) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// The running note may be between taking its lock and listening: a few tries, half a second
// apart at most.
bool knockAt(const QByteArray &path)
{
    sockaddr_un address;
    if (!toAddress(path, &address))
        return false;
    for (int attempt = 0; attempt < 20; ++attempt) {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (fd < 0)
            return false;
        // The running note's backlog takes the connection even before the note accepts it.
        const bool reached =
            ::connect(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) == 0;
        ::close(fd);
        if (reached)
            return true;
        QThread::msleep(100);
    }
    return false;
}

} // namespace

NoteInstance::NoteInstance(const QString &key) : state(new State)
{
    const QByteArray folder = runtimeFolder();
    if (folder.isEmpty())
        return;
    const QByteArray base = folder + '/' + QFile::encodeName(instanceName(key));
    state->socketPath = base + ".socket";
    state->lock =
        ::open((base + ".lock").constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (state->lock < 0)
        return;
    if (::flock(state->lock, LOCK_EX | LOCK_NB) == 0)
        return;
    state->first = errno != EWOULDBLOCK;
    ::close(state->lock);
    state->lock = -1;
}

NoteInstance::~NoteInstance() = default;

bool NoteInstance::isFirst() const
{
    return state->first;
}

// Each knock is one connection, which says nothing: it is taken and closed.
void NoteInstance::announce(WId, QObject *receiver, std::function<void()> comeForward)
{
    if (state->lock < 0)
        return;
    state->listener = listenAt(state->socketPath);
    if (state->listener < 0)
        return;
    auto *notifier = new QSocketNotifier(state->listener, QSocketNotifier::Read, receiver);
    const int listener = state->listener;
    QObject::connect(notifier, &QSocketNotifier::activated, receiver,
                     [listener, comeForward = std::move(comeForward)] {
                         bool knocked = false;
                         for (int fd;
                              (fd = ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC)) >= 0;) {
                             ::close(fd);
                             knocked = true;
                         }
                         if (knocked)
                             comeForward();
                     });
}

bool NoteInstance::askRunningNoteForward()
{
    return knockAt(state->socketPath);
}

} // namespace platform
