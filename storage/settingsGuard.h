#pragma once

#include <QByteArray>

namespace storage
{

// The settings library turns every "@Variant(...)" value of an INI file into an object as soon as
// it parses the file, for whatever type the blob names. A damaged blob of a container or image
// type can ask for an impossible allocation and crash the program before its window opens.
// True when every such value in `content` names one of the two types this program stores, a
// colour or a font (whose readers only take fixed-size fields and length-checked strings).
// Values are unescaped by the settings library's own INI rules to find every such blob.
bool hasOnlyKnownVariants(const QByteArray &content);

} // namespace storage
