#pragma once

#include <QByteArray>
#include <QString>

class QTextCodec;

namespace storage
{

// File bytes to note text: a UTF-8, UTF-16 or UTF-32 byte-order mark selects that encoding
// (the mark is dropped), anything else is read in `localCodec`. CR LF and lone CR become LF.
QString decodeNoteText(const QByteArray &bytes, QTextCodec *localCodec);

// Note text to file bytes with CR LF line ends: in `localCodec` when it can represent the
// whole text, otherwise as UTF-8 with a byte-order mark so that nothing is lost.
QByteArray encodeNoteText(const QString &text, QTextCodec *localCodec);

// False when the file can't be opened or is no plain file of a sane size (see plainFile.h);
// `text` is then left alone.
bool readNoteText(const QString &path, QString *text);

// Replaces the file in one step once the new text is on the disk, under the note's lock on the
// folder: a failed or interrupted save leaves the old file whole (see replaceFile). A file that
// could not have been read (too big, unreadable, no plain file) is never replaced. False, with
// the reason in `why`, when the text could not be written.
bool writeNoteText(const QString &path, const QString &text, QString *why = nullptr);

} // namespace storage
