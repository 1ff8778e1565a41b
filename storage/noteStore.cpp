#include "storage/noteStore.h"

#include "storage/noteTextFile.h"
#include "storage/plainFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <utility>

namespace storage
{

NoteStore::NoteStore() : NoteStore(locateNote()) {}

NoteStore::NoteStore(const NotePlace &place) : where(place) {}

bool NoteStore::loadText(QString *loaded)
{
    hasText = readNoteText(where.live + textFileName(), &text);
    if (hasText)
        *loaded = text;
    return hasText;
}

SetInfo NoteStore::loadSettings()
{
    settings = savedSettings = readSetInfo(where.live + settingsFileName());
    return settings;
}

bool NoteStore::saveText(const QString &newText)
{
    text = newText;
    hasText = true;
    textUnsaved = true;
    return save();
}

bool NoteStore::saveSettings(const SetInfo &info)
{
    settings = info;
    settingsUnsaved = true;
    return save();
}

QVector<Refusal> NoteStore::takeFilesLeftAlone()
{
    return std::exchange(filesLeftAlone, {});
}

// Settings that a failed save would have written unchanged lose nothing.
bool NoteStore::hasUnsavedChanges() const
{
    return textUnsaved || (settingsUnsaved && withSetInfo(QByteArray(), settings) !=
                                                  withSetInfo(QByteArray(), savedSettings));
}

// A storage folder that refuses the save gives way to the per-user place for the rest of the
// run, once that place has taken the note. A save that nothing took changes nothing: the next
// one tries the same folders again.
bool NoteStore::save()
{
    lastRefusals.clear();
    if (where.live == where.home ? writeUnsaved(where.home) : moveTo(where.home)) {
        removePerUserCopies();
        return true;
    }
    const QString refused = where.home;
    if (!fallBackToPerUser())
        return false;
    if (moveTo(where.home))
        return true;
    where.home = refused;
    return false;
}

// What is not on the disk yet: the file being saved, and one whose save failed before.
bool NoteStore::writeUnsaved(const QString &folder)
{
    if (settingsUnsaved && !write(File::Settings, folder))
        return false;
    return !textUnsaved || write(File::Text, folder);
}

bool NoteStore::write(File file, const QString &folder)
{
    QString why;
    // The per-user place is made by the first save that needs it, never at start.
    bool written = makeFolder(folder, &why);
    const bool leftAlone =
        written && (file == File::Text ? !mayReplace(folder + textFileName(), &why)
                                       : isInTheWay(folder + settingsFileName(), &why));
    if (leftAlone) {
        lastRefusals.append({folder, why});
        filesLeftAlone.append({folder, why});
        return false;
    }
    if (written && file == File::Text) {
        written = writeNoteText(folder + textFileName(), text, &why);
        textUnsaved = textUnsaved && !written;
    } else if (written) {
        const QString base = where.live == folder ? QString() : where.live + settingsFileName();
        written = writeSetInfo(folder + settingsFileName(), settings, base, &why);
        settingsUnsaved = settingsUnsaved && !written;
        if (written)
            savedSettings = settings;
    }
    if (!written)
        lastRefusals.append({folder, why});
    return written;
}

// The whole note goes: the text first, so that a folder that refuses it is left as it was.
// Into the per-user place, a record of what it took the place of comes last, so that an
// interrupted move never counts; a text that was never read or applied leaves none behind there.
bool NoteStore::moveTo(const QString &folder)
{
    const bool intoPerUser = folder == where.perUser && folder != where.beside;
    if (intoPerUser) {
        QFile::remove(folder + supersedesFileName());
        if (!hasText)
            QFile::remove(folder + textFileName());
    }
    if ((hasText && !write(File::Text, folder)) || !write(File::Settings, folder)) {
        if (intoPerUser)
            removeEmptyPerUserPlace(); // made for a move that failed
        return false;
    }
    QString why;
    if (intoPerUser && !replaceFile(folder + supersedesFileName(), supersedesRecord(), &why)) {
        lastRefusals.append({folder, why});
        return false;
    }
    where.live = folder;
    textUnsaved = settingsUnsaved = false;
    removePerUserCopies();
    return true;
}

bool NoteStore::fallBackToPerUser()
{
    if (where.home == where.perUser || where.perUser.isEmpty())
        return false;
    where.home = where.perUser;
    return true;
}

QByteArray NoteStore::supersedesRecord() const
{
    return "# deskMemo: the note of " + where.beside.toUtf8() +
           " is kept here since that folder refused a save.\n"
           "# It is the note while the files there are still as follows:\n" +
           besideState(where.beside);
}

// The record goes first: without it, whatever is left there is no note.
void NoteStore::removePerUserCopies()
{
    if (perUserCleared || where.live != where.beside || where.perUser.isEmpty() ||
        where.perUser == where.beside)
        return;
    perUserCleared = true;
    QFile::remove(where.perUser + supersedesFileName());
    for (const QString &name : noteFileNames())
        QFile::remove(where.perUser + name);
    removeEmptyPerUserPlace();
}

// With the data folder, when nothing else is in it: each only if empty.
void NoteStore::removeEmptyPerUserPlace()
{
    QDir().rmdir(where.perUser);
    if (where.perUser != perUserDataDirectory())
        QDir().rmdir(QFileInfo(where.perUser.chopped(1)).path());
}

} // namespace storage
