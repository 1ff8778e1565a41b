#include "storage/noteStore.h"

#include "storage/noteTextFile.h"

#include <QDir>
#include <QFile>

namespace storage
{
namespace
{

const QString textName = QStringLiteral("myText");
const QString settingsName = QStringLiteral("setInfo.ini");

} // namespace

NoteStore::NoteStore() : NoteStore(locateNote()) {}

NoteStore::NoteStore(const NotePlace &place) : where(place) {}

bool NoteStore::loadText(QString *loaded)
{
    hasText = readNoteText(where.live + textName, &text);
    if (hasText)
        *loaded = text;
    return hasText;
}

SetInfo NoteStore::loadSettings()
{
    settings = readSetInfo(where.live + settingsName);
    return settings;
}

bool NoteStore::saveText(const QString &newText)
{
    text = newText;
    hasText = true;
    return save(File::Text);
}

bool NoteStore::saveSettings(const SetInfo &info)
{
    settings = info;
    return save(File::Settings);
}

bool NoteStore::save(File file)
{
    if (where.live == where.home) {
        if (write(file, where.home)) {
            removePerUserCopies();
            return true;
        }
        if (!fallBackToPerUser())
            return false;
    }
    return moveTo(where.home) || (fallBackToPerUser() && moveTo(where.home));
}

bool NoteStore::write(File file, const QString &folder)
{
    // The per-user folder is made by the first save that needs it, never at start.
    if (folder == where.perUser && !QDir().mkpath(folder))
        return false;
    if (file == File::Text)
        return writeNoteText(folder + textName, text);
    const QString base = where.live == folder ? QString() : where.live + settingsName;
    return writeSetInfo(folder + settingsName, settings, base);
}

bool NoteStore::moveTo(const QString &folder)
{
    if (!write(File::Settings, folder) || (hasText && !write(File::Text, folder)))
        return false;
    where.live = folder;
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

void NoteStore::removePerUserCopies()
{
    if (perUserCleared || where.live != where.beside || where.perUser.isEmpty() ||
        where.perUser == where.beside)
        return;
    perUserCleared = true;
    for (const QString &name : noteFileNames())
        QFile::remove(where.perUser + name);
}

} // namespace storage
