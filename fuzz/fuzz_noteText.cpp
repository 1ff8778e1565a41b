// Feeds arbitrary bytes to the note text load in three local code pages, and checks that what
// was read survives a save and a new load unchanged.
#include "fuzzSupport.h"
#include "storage/noteTextFile.h"

#include <QTextCodec>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    startFuzzApplication();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static QTextCodec *const codecs[] = {QTextCodec::codecForName("UTF-8"),
                                         QTextCodec::codecForName("GBK"),
                                         QTextCodec::codecForName("Windows-1252")};
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char *>(data), int(size));
    for (QTextCodec *codec : codecs) {
        const QString text = storage::decodeNoteText(bytes, codec);
        if (storage::decodeNoteText(storage::encodeNoteText(text, codec), codec) != text)
            std::abort();
    }

    // The same through the file, in the program's own locale.
    static const QString path = scratchPath("myText");
    writeScratch(path, data, size);
    QString text;
    if (!storage::readNoteText(path, &text))
        std::abort();
    if (text != storage::decodeNoteText(bytes, QTextCodec::codecForLocale()))
        std::abort();
    return 0;
}
