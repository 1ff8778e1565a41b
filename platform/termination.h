#pragma once

#include <functional>

class QObject;

namespace platform
{

// Calls `handler` from the event loop, on the GUI thread, each time the system asks the
// program to end, for as long as `receiver` lives. On Unix these requests are the signals
// SIGTERM, SIGHUP and SIGINT; one that the program was started with ignored (nohup, a
// background job of a script) stays ignored. A second SIGTERM or SIGINT ends the program at
// once, without waiting for the event loop (a save that hangs).
void onTerminationRequest(QObject *receiver, std::function<void()> handler);

} // namespace platform
