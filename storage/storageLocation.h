#pragma once

#include <QChar>
#include <QString>
#include <QStringList>

namespace storage
{

// The folder of an executable: everything before the last `separator`, with '/' as the only
// separator and a trailing '/'. A path without a separator yields the whole path plus '/'.
QString directoryOfExecutable(const QString &executablePath, QChar separator);

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
// everyone), so the system is asked as it would decide for a real write.
ProgramFolder inspectProgramFolder(const QString &directory);

// True when this process could create a file in `directory`. Creates nothing.
bool isWritableDirectory(const QString &directory);

// The per-user data folder, named after the program whatever the executable is called:
// ~/.local/share/deskMemo/ or %APPDATA%/deskMemo/, with '/' separators and a trailing '/'.
// Only found, not created.
QString perUserDataDirectory();

// The folder that holds the note's files, for an executable in `executableDirectory`: that
// folder, or the per-user data folder (see keepsNotesBesideExecutable).
QString storageDirectoryFor(const QString &executableDirectory, const ProgramFolder &folder);
QString storageDirectoryFor(const QString &executableDirectory);

// The storage folder of the running program. Decided without writing anything.
QString storageDirectory();

// The file `name` is read from: the one in `storageDirectory` when it stands there, otherwise
// the one in the other folder (beside the executable or per user) when that holds it. So a note
// kept in a folder that became read-only still opens as it was left, and a note that had to move
// to the per-user folder on an earlier run is found there while no copy stands beside the
// executable.
QString fileToRead(const QString &storageDirectory, const QString &name);

// Readies `storageDirectory` for a save: the per-user folder is created on its first use and
// takes a copy of each note file beside the executable that it lacks (the originals stay as
// they are). False when the folder can't be made.
bool prepareForSave(const QString &storageDirectory);

// Where a save goes after one into `storageDirectory` failed: the per-user folder when
// `storageDirectory` is the executable's folder and that folder refuses a new file (it became
// read-only, or the start-up check was fooled); otherwise `storageDirectory` itself. Finding out
// creates a file there and removes it at once.
QString directoryAfterFailedSave(const QString &storageDirectory);

// The names of the note's files, the same in every folder.
QStringList noteFileNames();

// Tests give a note its own folder by pretending the executable lives there.
void setExecutablePathOverride(const QString &path);

} // namespace storage
