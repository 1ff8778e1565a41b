#pragma once

#include <QByteArray>
#include <QString>

#include <memory>

class QLockFile;

namespace storage
{

// The largest note or settings file the program opens. Anything bigger is not a note: reading
// it whole could exhaust memory or overflow a string.
constexpr qint64 largestStoredFile = 16 * 1024 * 1024;

// The mark that starts a text file in UTF-8 when it says so.
constexpr char utf8ByteOrderMark[] = "\xEF\xBB\xBF";

// True when `path` names nothing, or a regular file (through any symlinks) of at most
// largestStoredFile bytes. A pipe would block the program on open, a device could be endless,
// a directory is no file: the loads treat all of them as unreadable and the saves leave them be.
bool isMissingOrPlainFile(const QString &path);

// The whole of a plain file of a sane size. False, with `bytes` empty, when the file is missing,
// can't be opened or is no such file.
bool readPlainFile(const QString &path, QByteArray *bytes);

// True, with the reason in `why`, when something stands at `path` that is no plain file (a
// folder, a pipe, a device): a save leaves it as it is. Nothing, or a link to nothing, is not
// in the way.
bool isInTheWay(const QString &path, QString *why);

// False, with the reason in `why`, when a save must leave the note's text at `path` as it is:
// it is in the way, too big to have been read, or it can't be read (what it holds would be
// lost unseen).
bool mayReplace(const QString &path, QString *why);

// Puts `bytes` in place of the file in one step, and only once every byte has reached the disk,
// and flushes the folder so that the new name survives a power cut: a full disk, a quota or an
// I/O error leaves the old file whole and gives false, with the system's reason in `why`. So
// does a file that refuses writing (read-only to this user), a directory, a pipe or a device,
// which are left as they are. The new file takes over the old one's permissions; a symlink's
// target is replaced. Implemented once per system.
bool replaceFile(const QString &path, const QByteArray &bytes, QString *why);

// Makes the folder and its parents. False, with the system's reason in `why`, when it can't.
bool makeFolder(const QString &folder, QString *why);

// What a file is at the moment, as a line of text that changes whenever it is replaced or
// written to: its size, its time of last change and its identity on the disk (inode, or file
// index on Windows); "missing" when there is none. Implemented once per system.
QByteArray fileState(const QString &path);

// The line end a new settings file gets on this system, as the settings library writes it.
// Implemented once per system.
QByteArray nativeLineEnd();

// Whether section and key names of a settings file match regardless of letter case, as the
// settings library matches them on this system (on Windows they do). Implemented once per system.
Qt::CaseSensitivity iniNameCase();

// The note's lock on a folder while it saves there: the settings library's lock of the settings
// file, which other programs that keep groups of their own in that file save under too. A lock
// that is no plain file (a folder, a pipe), or one that another program holds for longer than
// two seconds, is a refused save. Once the lock is held, the scratch files of this program's
// own saves that were cut short there (a kill, a power cut) are removed.
class FolderLock
{
public:
    explicit FolderLock(const QString &folder);
    ~FolderLock();
    FolderLock(const FolderLock &) = delete;
    FolderLock &operator=(const FolderLock &) = delete;

    // False, with the reason in `why`, when the lock could not be had.
    bool isHeld(QString *why) const;

private:
    std::unique_ptr<QLockFile> lock;
    QString refusal;
};

} // namespace storage
