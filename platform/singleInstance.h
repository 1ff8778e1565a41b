#pragma once

#include <QString>
#include <QtGui/qwindowdefs.h>

#include <functional>
#include <memory>

class QObject;

namespace platform
{

// One running program per note. A note is told apart by a key (its identity: the program's folder
// as it is on disk, storage/noteIdentity.h), so that a second start of the same note, by whatever
// path or link, finds the first one, and a copy of the program in another folder, with files of its
// own, runs beside it.
//
// What marks a running note lives in the user's own session, never in the note's folders: on
// Unix a lock and a socket in the user's runtime folder ($XDG_RUNTIME_DIR), on Windows a mutex of
// the logon session and a property of the note's window. The system drops them with the process,
// so a note that crashed or was killed never seems to run.
class NoteInstance
{
public:
    explicit NoteInstance(const QString &key);
    ~NoteInstance();
    NoteInstance(const NoteInstance &) = delete;
    NoteInstance &operator=(const NoteInstance &) = delete;

    // False when the same note runs already. Where the mark can't be made safely (no private
    // runtime folder, a name taken by another user) the note runs unguarded, as it always did:
    // nobody else can keep it from starting.
    bool isFirst() const;

    // The first program of a note: lets later starts find `window`, and calls `comeForward` on
    // the GUI thread whenever one of them asks for the note (where the later start can't bring
    // the window forward itself).
    void announce(WId window, QObject *receiver, std::function<void()> comeForward);

    // A later start: asks the running note to come forward. False when it could not be reached.
    bool askRunningNoteForward();

    struct State;

private:
    std::unique_ptr<State> state;
};

// A name for the marks of the note of `key`, short enough for any socket address or object name.
QString instanceName(const QString &key);

} // namespace platform
