#pragma once

#include "platform/windowSystem.h"

#include <QtPlugin>

#include <memory>

namespace platform
{

// A backend built as a module of its own, so that its libraries are loaded only in a session
// that may use it: the layer-shell backend brings layer-shell-qt, Qt's Wayland client library
// and libwayland, none of which an X11 start should load. Both calls come before the application
// object exists.
class WindowSystemPlugin
{
public:
    virtual ~WindowSystemPlugin() = default;

    // Whether this session can use the backend: its compositor answers and offers what the
    // backend needs, and the Qt plugins that it works through are installed.
    virtual bool offered() = 0;

    // Prepares Qt for the backend and makes it. Only once offered() said yes.
    virtual std::unique_ptr<WindowSystem> create() = 0;
};

} // namespace platform

// The number changes with every change of the class above or of the WindowSystem it makes: the
// loader refuses a module built against another version of them.
#define DESKMEMO_WINDOW_SYSTEM_PLUGIN_IID "org.deskMemo.WindowSystemPlugin/2"
Q_DECLARE_INTERFACE(platform::WindowSystemPlugin, DESKMEMO_WINDOW_SYSTEM_PLUGIN_IID)
