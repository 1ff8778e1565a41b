#pragma once

#include <QByteArray>
#include <QString>

namespace storage
{

// The largest note or settings file the program opens. Anything bigger is not a note: reading
// it whole could exhaust memory or overflow a string.
constexpr qint64 largestStoredFile = 16 * 1024 * 1024;

// True when `path` names nothing, or a regular file (through any symlinks) of at most
// largestStoredFile bytes. A pipe would block the program on open, a device could be endless,
// a directory is no file: the loads treat all of them as unreadable and the saves leave them be.
bool isMissingOrPlainFile(const QString &path);

// The whole of a plain file of a sane size. False, with `bytes` empty, when the file is missing,
// can't be opened or is no such file.
bool readPlainFile(const QString &path, QByteArray *bytes);

// Puts `bytes` in place of the file in one step, and only once every byte has reached the disk:
// a full disk, a quota or an I/O error leaves the old file whole and gives false. So does a
// file that refuses writing (read-only to this user), a directory, a pipe or a device, which are
// left as they are. The new file takes over the old one's permissions; a symlink's target is
// replaced. Implemented once per system.
bool replaceFile(const QString &path, const QByteArray &bytes);

// The line end a new settings file gets on this system, as the settings library writes it.
// Implemented once per system.
QByteArray nativeLineEnd();

} // namespace storage
