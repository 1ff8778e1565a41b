#pragma once

#include <QString>

#include <functional>
#include <memory>

class QWidget;

namespace platform
{

// One running program per note. A note is told apart by a key (its identity: the program's folder
// as it is on disk, storage/noteIdentity.h), so that a second start of the same note, by whatever
// path, link or mount, finds the first one, and a copy of the program in another folder, with
// files of its own, runs beside it.
//
// What marks a running note belongs to the user and to the process, never to a folder: on Linux a
// socket in the abstract namespace, named from the user and the key, which the kernel drops with
// the process (no file is ever left behind); on Windows a mutex of the logon session and a
// property of the note's window. Nothing the environment says (XDG_RUNTIME_DIR and the like) goes
// into it, so a start from su or another session finds the note all the same. Another user can't
// take the mark or keep the note from starting: whoever answers is asked who they are.
class NoteInstance
{
public:
    explicit NoteInstance(const QString &key);
    ~NoteInstance();
    NoteInstance(const NoteInstance &) = delete;
    NoteInstance &operator=(const NoteInstance &) = delete;

    // False when the same note runs already.
    bool isFirst() const;

    // Why this note runs without the mark, for standard error; empty when it holds it or when it
    // is a later start. A note whose mark is held by another user, or refused by the system, runs
    // anyway: nobody else can keep it from starting.
    QString unguardedBecause() const;

    // The first program of a note: lets later starts find `window` and calls `comeForward` on
    // the GUI thread whenever one of them asks for the note (where the later start can't bring
    // the window forward itself); the later start hears back once it has.
    void announce(QWidget *window, std::function<void()> comeForward);

    // A later start: asks the running note to come forward. False when it did not answer within
    // two seconds of this start (a note that is stopped or hung).
    bool askRunningNoteForward();

    struct State;

private:
    std::unique_ptr<State> state;
};

// How long a later start waits, in all, for the running note to answer.
constexpr int runningNoteAnswersWithinMs = 2000;

// A name for the marks of the note of `key`, short enough for any socket address or object name.
QString instanceName(const QString &key);

} // namespace platform
