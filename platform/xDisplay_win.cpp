#include "platform/xDisplay.h"

namespace platform
{

// Windows programs never go through an X server.
bool xDisplayAnswers(const QByteArray &)
{
    return false;
}

bool xDisplaySetsDpi(const QByteArray &)
{
    return true;
}

} // namespace platform
