#include "platform/singleInstance_unix.h"
#include "platform/singleInstance.h"

#include <QDeadlineTimer>
#include <QSocketNotifier>
#include <QThread>
#include <QTimer>
#include <QWidget>

#include <cerrno>
#include <cstddef>
#include <cstring>
#include <poll.h>
#include <sys/un.h>
#include <unistd.h>

namespace platform
{

GuardCalls systemGuardCalls()
{
    GuardCalls calls;
    calls.user = ::geteuid;
    calls.bind = ::bind;
    calls.connect = ::connect;
    calls.accept = [](int listener) {
        return ::accept4(listener, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    };
    calls.peerUser = [](int fd, uid_t *user) {
        ucred credentials{};
        socklen_t length = sizeof credentials;
        if (::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &credentials, &length) != 0 ||
            length != sizeof credentials)
            return false;
        *user = credentials.uid;
        return true;
    };
    calls.waitReadable = [](int fd, int ms) {
        pollfd watched{fd, POLLIN, 0};
        return ::poll(&watched, 1, ms);
    };
    return calls;
}

GuardCalls &guardCalls()
{
    static GuardCalls calls = systemGuardCalls();
    return calls;
}

namespace
{

// A later start's request, and the running note's answer once it has come forward.
constexpr char comeForwardRequest = 'F';
constexpr char cameForwardAnswer = 'F';

void closeIfOpen(int fd)
{
    if (fd >= 0)
        ::close(fd);
}

QString systemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

struct Mark {
    sockaddr_un address;
    socklen_t length;
};

// In the abstract namespace (a name that begins with a zero byte): there is no file to leave
// behind or to find in somebody else's folder, and the kernel frees the name with the last
// process that holds it, however that process ended.
Mark markOf(const QString &key)
{
    const QByteArray name =
        instanceName(key).toLatin1() + "-uid" + QByteArray::number(quint64(guardCalls().user()));
    Mark mark{};
    mark.address.sun_family = AF_UNIX;
    std::memcpy(mark.address.sun_path + 1, name.constData(), size_t(name.size()));
    mark.length = socklen_t(offsetof(sockaddr_un, sun_path) + 1 + size_t(name.size()));
    return mark;
}

int newSocket()
{
    return ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
}

const sockaddr *addressOf(const Mark &mark)
{
    return reinterpret_cast<const sockaddr *>(&mark.address);
}

bool isOwnPeer(int fd)
{
    uid_t user = 0;
    return guardCalls().peerUser(fd, &user) && user == guardCalls().user();
}

// Nobody who knocks fills the queue for long: the note takes every connection at once.
bool listenAt(int fd, const Mark &mark)
{
    return guardCalls().bind(fd, addressOf(mark), mark.length) == 0 && ::listen(fd, SOMAXCONN) == 0;
}

enum class Holder {
    OwnNote,    // connected, to a program of this user
    OtherUser,  // connected, to a program of another user
    Unreachable // nobody listens any more, or the queue is full
};

// A connection with no wait: the kernel takes it into the holder's queue, or says at once why not.
Holder reachHolder(const Mark &mark, int *connection)
{
    const int fd = newSocket();
    if (fd < 0)
        return Holder::Unreachable;
    if (guardCalls().connect(fd, addressOf(mark), mark.length) != 0) {
        ::close(fd);
        return Holder::Unreachable;
    }
    if (!isOwnPeer(fd)) {
        ::close(fd);
        return Holder::OtherUser;
    }
    *connection = fd;
    return Holder::OwnNote;
}

// A knock of this user is answered when its request has come; one of another user is shut at
// once. Nothing that arrives here can block the note: every read and write returns at once.
void answerWhenAsked(int fd, QObject *owner, const std::function<void()> &comeForward)
{
    if (!isOwnPeer(fd)) {
        ::close(fd);
        return;
    }
    auto *request = new QSocketNotifier(fd, QSocketNotifier::Read, owner);
    QObject::connect(request, &QSocketNotifier::activated, owner, [request, fd, comeForward] {
        char asked = 0;
        const ssize_t got = ::recv(fd, &asked, 1, 0);
        if (got < 0 && (errno == EAGAIN || errno == EINTR))
            return;
        if (got == 1 && asked == comeForwardRequest) {
            comeForward();
            // The later start may have given up meanwhile: no SIGPIPE for that.
            ::send(fd, &cameForwardAnswer, 1, MSG_NOSIGNAL | MSG_DONTWAIT);
        }
        request->setEnabled(false);
        request->deleteLater();
        ::close(fd);
    });
}

// Takes every waiting connection. Where the system refuses one (no file descriptor left), the
// note stops listening for a moment instead of being woken again and again by the same queue.
void acceptKnocks(int listener, QSocketNotifier *notifier, QObject *owner,
                  const std::function<void()> &comeForward)
{
    for (;;) {
        const int fd = guardCalls().accept(listener);
        if (fd >= 0) {
            answerWhenAsked(fd, owner, comeForward);
            continue;
        }
        if (errno == EINTR || errno == ECONNABORTED)
            continue;
        if (errno != EAGAIN && errno != EWOULDBLOCK) {
            notifier->setEnabled(false);
            QTimer::singleShot(100, notifier, [notifier] { notifier->setEnabled(true); });
        }
        return;
    }
}

} // namespace

struct NoteInstance::State {
    int listener = -1; // the first program's mark, held for its life
    int knock = -1;    // a later start's connection to the running note
    bool first = true;
    QString unguardedBecause;
    QDeadlineTimer answerBy{runningNoteAnswersWithinMs};

    ~State()
    {
        closeIfOpen(listener);
        closeIfOpen(knock);
    }
};

// The name is taken, or its holder is asked who it is. A holder that nobody can reach may be a
// note between taking its name and listening, or one that has just ended: asked again until the
// time is up.
NoteInstance::NoteInstance(const QString &key) : state(new State)
{
    const Mark mark = markOf(key);
    for (;;) {
        const int fd = newSocket();
        if (fd < 0) {
            state->unguardedBecause = systemError(errno);
            return;
        }
        if (listenAt(fd, mark)) {
            state->listener = fd;
            return;
        }
        const int error = errno;
        ::close(fd);
        if (error != EADDRINUSE) {
            state->unguardedBecause = systemError(error);
            return;
        }
        switch (reachHolder(mark, &state->knock)) {
        case Holder::OwnNote:
            state->first = false;
            return;
        case Holder::OtherUser:
            state->unguardedBecause = QStringLiteral("another user holds its mark");
            return;
        case Holder::Unreachable:
            break;
        }
        if (state->answerBy.hasExpired()) {
            state->unguardedBecause =
                QStringLiteral("a program that takes no knock holds its mark");
            return;
        }
        QThread::msleep(50);
    }
}

NoteInstance::~NoteInstance() = default;

bool NoteInstance::isFirst() const
{
    return state->first;
}

QString NoteInstance::unguardedBecause() const
{
    return state->unguardedBecause;
}

void NoteInstance::announce(QWidget *window, std::function<void()> comeForward)
{
    if (state->listener < 0)
        return;
    const int listener = state->listener;
    auto *notifier = new QSocketNotifier(listener, QSocketNotifier::Read, window);
    QObject::connect(notifier, &QSocketNotifier::activated, window,
                     [listener, notifier, window, comeForward = std::move(comeForward)] {
                         acceptKnocks(listener, notifier, window, comeForward);
                     });
}

bool NoteInstance::askRunningNoteForward()
{
    if (state->knock < 0 ||
        ::send(state->knock, &comeForwardRequest, 1, MSG_NOSIGNAL | MSG_DONTWAIT) != 1)
        return false;
    while (!state->answerBy.hasExpired()) {
        const int ready =
            guardCalls().waitReadable(state->knock, int(state->answerBy.remainingTime()));
        if (ready < 0 && errno != EINTR)
            return false;
        if (ready > 0) {
            char answer = 0;
            return ::recv(state->knock, &answer, 1, MSG_DONTWAIT) == 1 &&
                   answer == cameForwardAnswer;
        }
    }
    return false;
}

} // namespace platform
