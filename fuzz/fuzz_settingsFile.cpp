// Feeds arbitrary bytes to the settings load as the file setInfo.ini, then saves the loaded
// values over the same bytes. A save into a plain file always succeeds: a file the program
// won't parse is replaced by one with the six keys. Afterwards the file is one the program
// parses, and a new load gives back exactly what was saved.
#include "fuzzSupport.h"
#include "storage/settingsFile.h"
#include "storage/settingsGuard.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    startFuzzApplication();
    return 0;
}

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
    SetInfo info = storage::readSetInfo(path);
    (void)info.selectFont.toString();
    (void)info.selectColor.name();

    if (!storage::writeSetInfo(path, info))
        std::abort();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || !storage::hasOnlyKnownVariants(file.readAll()))
        std::abort();
    const SetInfo back = storage::readSetInfo(path);
    if (back.startPos != info.startPos || back.movable_flag != info.movable_flag ||
        back.selectColor != info.selectColor || back.isAutoStart != info.isAutoStart ||
        back.isTopWindow != info.isTopWindow ||
        back.selectFont.family() != info.selectFont.family())
        std::abort();
    return 0;
}
