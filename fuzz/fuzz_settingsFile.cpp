// Feeds arbitrary bytes to the settings load as the file setInfo.ini, then saves the loaded
// values over the same bytes and checks that a new load gives back exactly what was saved, and
// that every entry the settings library could not be let loose on is still in the file, as it
// was, unless the save replaced it (one of the six keys in [config]).
#include "fuzzSupport.h"
#include "storage/settingsFile.h"
#include "storage/settingsGuard.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <iterator>

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    startFuzzApplication();
    return 0;
}

namespace
{

QByteArray readAll(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        std::abort();
    return file.readAll();
}

bool replacedBySave(const storage::SettingsEntry &entry)
{
    static const QByteArray keys[] = {"startPos",   "movable_flag", "selectColor",
                                      "selectFont", "isAutoStart",  "isTopWindow"};
    return entry.section.trimmed() == "[config]" &&
           std::find(std::begin(keys), std::end(keys), entry.key) != std::end(keys);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // A new name each time: the settings library caches files by name and tells a changed file
    // only by its size and modification time, which thousands of runs a second outpace.
    static unsigned run = 0;
    const QString path = scratchPath("setInfo.ini") + QString::number(run++);
    writeScratch(path, data, size);
    struct Remove {
        QString path;
        ~Remove() { QFile::remove(path); }
    } remove{path};
    const QByteArray input =
        QByteArray::fromRawData(reinterpret_cast<const char *>(data), int(size));
    SetInfo info = storage::readSetInfo(path);
    (void)info.selectFont.toString();
    (void)info.selectColor.name();

    // A plain file of a few kilobytes in a folder of our own always takes the save.
    if (!storage::writeSetInfo(path, info))
        std::abort();
    const QByteArray saved = readAll(path);
    for (const storage::SettingsEntry &entry : storage::unsafeEntries(input)) {
        if (!replacedBySave(entry) &&
            !saved.contains(input.mid(entry.begin, entry.end - entry.begin)))
            std::abort();
    }
    const SetInfo back = storage::readSetInfo(path);
    if (back.startPos != info.startPos || back.movable_flag != info.movable_flag ||
        back.selectColor != info.selectColor || back.isAutoStart != info.isAutoStart ||
        back.isTopWindow != info.isTopWindow ||
        back.selectFont.family() != info.selectFont.family())
        std::abort();
    return 0;
}
