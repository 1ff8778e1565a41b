#pragma once

#include "storage/settingsFile.h"
#include "storage/storageLocation.h"

#include <QString>
#include <QVector>

namespace storage
{

// A folder that refused a save, and why, in the system's words.
struct Refusal {
    QString folder;
    QString reason;
};

// The note's two files, kept as one pair in one folder (see locateNote). Loads read the folder
// that holds the note; saves go to the storage folder. A save that the program's folder refuses
// for any reason (read-only, full, a file in the way or too big to have been read) moves the
// note to its own per-user place for the rest of the run. A move writes both files there from
// what the note holds, the settings around the bytes of the file it came from, then records what
// the files beside the program were. Once a save beside the program has succeeded, the note's
// per-user copies are removed, so that they are never read again.
class NoteStore
{
public:
    NoteStore(); // at locateNote(); writes nothing
    explicit NoteStore(const NotePlace &place);

    // The folders as they stand now: `live` is the folder that holds the note.
    const NotePlace &place() const { return where; }

    // False, with `text` left alone, when there is no text file or it can't be read.
    bool loadText(QString *text);
    SetInfo loadSettings();

    // False when the file could be written nowhere; the values are kept, and the next save of
    // either file writes them too.
    bool saveText(const QString &text);
    bool saveSettings(const SetInfo &info);

    // Something the user applied, moved or switched is on no disk yet.
    bool hasUnsavedChanges() const;

    // The folders that refused the last save, and why: all that were tried when it failed,
    // the program's folder when the save went to the per-user place instead.
    const QVector<Refusal> &refusals() const { return lastRefusals; }

    // The note files that saves have left as they were since the last call (see mayReplace):
    // something in the way, or a text too big or unreadable to have been shown.
    QVector<Refusal> takeFilesLeftAlone();

private:
    enum class File { Text, Settings };

    bool save();
    bool writeUnsaved(const QString &folder);
    bool write(File file, const QString &folder);
    bool moveTo(const QString &folder);
    bool fallBackToPerUser();
    QByteArray supersedesRecord() const;
    void removePerUserCopies();
    void removeEmptyPerUserPlace();

    NotePlace where;
    QString text;
    bool hasText = false; // a text was read or applied: a move writes the text file too
    SetInfo settings = defaultSetInfo();
    SetInfo savedSettings = defaultSetInfo(); // as the disk holds them
    bool textUnsaved = false;
    bool settingsUnsaved = false;
    bool perUserCleared = false;
    QVector<Refusal> lastRefusals;
    QVector<Refusal> filesLeftAlone;
};

} // namespace storage
