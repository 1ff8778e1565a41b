#pragma once

#include <QByteArray>

namespace storage
{

// A value's text in a settings file and back, as the settings library escapes it: these mirror
// QSettingsPrivate::iniEscapedString and iniUnescapedStringList of Qt 5.15 for the forms that
// the library writes for one string (no lists).

// The value as the library reads it, from the text after '=' to the end of the line: blanks
// around it dropped, a ';' outside quotes and all after it a comment. False for a form the
// library never writes for one string (a list, an unknown escape, raw control or 8-bit bytes).
bool unescapedValue(const QByteArray &value, QByteArray *text);

// The library's text for a value, for the Latin-1 text of a blob: every byte outside printable
// ASCII as an escape, a hex digit after a hex escape escaped too, quoted when it holds a
// separator or starts or ends with a space.
QByteArray escapedValue(const QByteArray &text);

} // namespace storage
