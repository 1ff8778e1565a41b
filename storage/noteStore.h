#pragma once

#include "storage/settingsFile.h"
#include "storage/storageLocation.h"

#include <QString>

namespace storage
{

// The note's two files, kept as one pair in one folder (see locateNote). Loads read the folder
// that holds the note; saves go to the storage folder. A save that the executable's folder
// refuses for any reason (read-only, full, a file in the way) moves the note to the per-user
// folder for the rest of the run. A move writes both files there from what the note holds, the
// settings around the bytes of the file it came from; once a save beside the executable has
// succeeded, the per-user copies are removed, so that they are never read again.
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

    // False when the file could be written nowhere; the values are kept for the next save.
    bool saveText(const QString &text);
    bool saveSettings(const SetInfo &info);

private:
    enum class File { Text, Settings };

    bool save(File file);
    bool write(File file, const QString &folder);
    bool moveTo(const QString &folder);
    bool fallBackToPerUser();
    void removePerUserCopies();

    NotePlace where;
    QString text;
    bool hasText = false; // a text was read or applied: a move writes the text file too
    SetInfo settings = defaultSetInfo();
    bool perUserCleared = false;
};

} // namespace storage
