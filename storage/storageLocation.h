#pragma once

#include <QChar>
#include <QString>
#include <QStringList>

namespace storage
{

// The folder of an executable: everything before the last `separator`, with '/' as the only
// separator and a trailing '/'. A path without a separator yields the whole path plus '/'.
QString directoryOfExecutable(const QString &executablePath, QChar separator);

// The running program's folder, by the path it was started from (or the tests' pretended path).
QString executableDirectory();

// True for the Linux folders that hold installed programs (/usr/..., /bin/, /sbin/, /opt/...,
// /snap/..., and the folder `cmake --install` puts the program in).
bool isSystemProgramDirectory(const QString &directory);

// True for the Windows folders that hold installed programs or the system: "Program Files" and
// "Program Files (x86)" at the root of any drive, and anything below one of `systemFolders`
// (the values of %ProgramFiles%, %SystemRoot% and the like). Letter case never matters there;
// either separator may be used.
bool isWindowsProgramDirectory(const QString &directory, const QStringList &systemFolders);

// What the storage rule needs to know about the executable's folder.
struct ProgramFolder {
    bool holdsInstalledPrograms = false; // a system folder for installed programs
    bool ownedByUser = false;            // it belongs to the running user, who is not root
    bool writable = false;               // files can be created in it and the note's saved
};

// The note's files stay beside the executable when its folder can be written and is no system
// folder, or a system folder that is the user's own (a program unpacked under /opt). Installed
// programs, also when root runs them, keep their notes per user: the system belongs to nobody's
// note.
bool keepsNotesBesideExecutable(const ProgramFolder &folder);

// The facts above for a real folder, found out without writing anything: permission bits alone
// can't tell (root writes anywhere they allow; read-only mounts and immutable folders refuse
// everyone), so the system is asked as it would decide for a real write. A note file in the
// folder that refuses writing, or reading (a note never replaces what it could not show),
// makes the folder count as not writable.
ProgramFolder inspectProgramFolder(const QString &directory);

// True when this process could create a file in `directory`. Creates nothing.
bool isWritableDirectory(const QString &directory);

// The per-user data folder, named after the program whatever the executable is called:
// ~/.local/share/deskMemo/ or %APPDATA%/deskMemo/, with '/' separators and a trailing '/'.
// Only found, not created. Empty when the system names no such folder (no home folder): never
// the root of a drive.
QString perUserDataDirectory();

// On Unix, the same from the values of $XDG_DATA_HOME and $HOME.
QString perUserDataDirectoryFrom(const QString &xdgDataHome, const QString &home);

// Where the note of the running program stands. Found without writing anything.
struct NotePlace {
    QString beside;  // the program's folder (see thisNote())
    QString perUser; // the note's own place in the per-user data folder; empty when there is none
    QString home;    // the storage folder: where saves go (beside or perUser)
    QString live;    // the folder that holds the note now, which it is read from
};

// An installed program's note lives in the per-user data folder itself. A copy of the program
// elsewhere keeps its note beside itself; when its folder refuses the note (at start, or at a
// save) the note goes to a place of its own in the per-user data folder, named after the copy
// (thisNote().name), which no other copy reads or touches. There the note records what the
// files beside the program were when it took their place (see besideState). At the next start
// that place holds the note only while the files beside the program are still just so: any save
// there since, a file deleted or changed there, makes the files beside the program the note
// again, whatever the clocks say. A place without the record holds the note only when nothing
// stands beside the program.
NotePlace locateNote();

// The names of the note's files, the same in every folder.
QString textFileName();
QString settingsFileName();
QStringList noteFileNames();

// The record of a note's own per-user place, and what it holds: the state of the note's files
// beside the program (see fileState) when the note last moved away from there.
QString supersedesFileName();
QByteArray besideState(const QString &beside);

// Tests give a note its own folder by pretending the executable lives there.
void setExecutablePathOverride(const QString &path);

} // namespace storage
