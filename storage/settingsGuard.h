#pragma once

#include <QByteArray>
#include <QList>

namespace storage
{

// One entry ("key=value", continuation lines included) of a settings file, as byte offsets.
struct SettingsEntry {
    int begin = 0;
    int end = 0;
    QByteArray section; // the raw text of the section line it stands under, empty before any
    QByteArray key;     // the raw key, trimmed
};

// The settings library turns every "@Variant(...)" and "@DateTime(...)" value of an INI file into
// an object as soon as it parses the file, for whatever type the blob names, trusting every
// count in it. A damaged blob can ask for an impossible allocation, nest itself until the stack
// runs out, or hand an image to a decoder, and crash the program before its window opens.
// The entries of `content` whose value holds such a blob: the blob is followed through the
// stream as the library would read it, and refused when a count exceeds what the rest of the
// blob could hold, when it nests deeper than any stored value does, or when it holds a type
// whose reader can't be followed (images, regions, pens, palettes, curves, zoned times, types of
// other programs). Everything the settings library writes itself from plain values (numbers,
// strings, byte arrays, dates and times, geometry, lists and maps of them, colours, fonts,
// brushes) passes. Values are unescaped by the library's own INI rules to find every blob.
QList<SettingsEntry> unsafeEntries(const QByteArray &content);

} // namespace storage
