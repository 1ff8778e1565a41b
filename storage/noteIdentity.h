#pragma once

#include <QString>

namespace storage
{

// Which note a start of the program belongs to: the folder that holds the program, as it is on
// disk. Every way of reaching that folder (a link to the program, a linked or bind-mounted
// folder, another spelling of its path) is the same note; a copy of the program in another
// folder is another note. Everything that must tell notes apart (the guard that keeps a note
// from running twice, the note's own place in the per-user folder) is derived from it, never
// from where the note's files happen to be.
struct NoteIdentity {
    QString programFolder; // the executable's folder, links resolved: '/' separators, trailing '/'
    QString key;           // what that folder is on disk: the same for every way of reaching it
    QString name;          // for people: the folder's own name and a short digest of the key
};

// The identity of the note kept by a program in `programFolder`.
NoteIdentity identifyNote(const QString &programFolder);

// The identity of the running program's note, decided at its first use and kept for the run
// (tests that pretend another executable path get the identity of that path).
const NoteIdentity &thisNote();

// What a folder is on disk, whatever path reaches it: on Unix its device and inode, on Windows
// its volume's serial number and its file index. Empty when the folder can't be asked (it does
// not exist, or it refuses); the identity then falls back to the resolved path. Implemented once
// per system.
QString folderDiskId(const QString &folder);

} // namespace storage
