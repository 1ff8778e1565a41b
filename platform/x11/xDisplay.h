#pragma once

#include <QByteArray>

namespace platform
{

// Whether an X server accepts a connection on the display of that name (":0", "host:1").
bool xDisplayAnswers(const QByteArray &display);

// Whether the X server of that display tells its programs their scale through the Xft.dpi
// resource (set by the desktop or by xrdb), which Qt reads as X11 programs' DPI.
bool xDisplaySetsDpi(const QByteArray &display);

} // namespace platform
