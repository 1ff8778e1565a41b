// Feeds arbitrary bytes to the settings load as the file setInfo.ini, then saves the loaded
// values over the same bytes. No input may crash either; every byte outside the lines of the
// note's six keys in [config] must come through the save unchanged; a new load must give back
// exactly what was saved; and a second save must change nothing.
#include "fuzzSupport.h"
#include "storage/settingsFile.h"

#include <cstdint>
#include <cstdlib>

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

// The same six lines in a file: a font compares unequal to itself after the round trip through
// the stream format, which keeps only what the settings library stores.
bool same(const SetInfo &a, const SetInfo &b)
{
    return storage::withSetInfo(QByteArray(), a) == storage::withSetInfo(QByteArray(), b);
}

// What a save may add besides the six lines: the line ends and the [config] header that a file
// without them needs, at its end.
bool keptAsItWas(const QByteArray &input, const QByteArray &saved)
{
    const QByteArray before = storage::withoutOwnLines(input);
    const QByteArray after = storage::withoutOwnLines(saved);
    QByteArray added = after.mid(before.size());
    added.replace("[config]", "");
    return after.startsWith(before) && after.count("[config]") <= before.count("[config]") + 1 &&
           added.count('\r') + added.count('\n') == added.size();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString path = scratchPath("setInfo.ini");
    writeScratch(path, data, size);
    const QByteArray input =
        QByteArray::fromRawData(reinterpret_cast<const char *>(data), int(size));
    const SetInfo info = storage::readSetInfo(path);
    (void)info.selectFont.toString();
    (void)info.selectColor.name();

    // A plain file of a few kilobytes in a folder of our own always takes the save.
    if (!storage::writeSetInfo(path, info))
        std::abort();
    const QByteArray saved = readAll(path);
    if (!keptAsItWas(input, saved))
        std::abort();
    if (!same(storage::parseSetInfo(saved), info))
        std::abort();
    if (storage::withSetInfo(saved, info) != saved)
        std::abort();
    return 0;
}
