#pragma once

// The desktop entry that makes a Linux session start the program at logon.
#include <QByteArray>
#include <QString>

namespace autostart
{

// The Exec= value that runs `program` with no argument, under the Desktop Entry rules: the
// path is quoted when it holds a reserved character, with " ` $ \ escaped inside the quotes;
// then the string escapes apply and a literal % is written as %%. A path with a % is run by
// "/bin/sh -c 'exec "$0"'" with the path as its argument, the one form that GLib's launcher
// and systemd's autostart generator both read. Empty when the path is empty or holds a control
// character that a desktop entry can't carry.
QString execValue(const QString &program);

// The whole entry, UTF-8. Empty when `program` has no Exec= value.
QByteArray desktopEntry(const QString &program);

} // namespace autostart
