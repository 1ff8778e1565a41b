#pragma once

#include <QByteArray>

namespace platform
{

// Whether an X server accepts a connection on the display of that name (":0", "host:1").
bool xDisplayAnswers(const QByteArray &display);

} // namespace platform
