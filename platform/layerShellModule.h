#pragma once

// The layer-shell part of the program is a module of its own (built from layerShell_wayland.cpp
// with layer-shell-qt and Qt's Wayland client library), which layerShell_unix.cpp loads only
// when a Wayland session asks whether the compositor offers layer shell: an X11 session never
// loads those libraries. The module's one entry gives the functions of layerShell.h.
#include <QPoint>
#include <QtGui/qwindowdefs.h>

class QMouseEvent;
class QRegion;
class QWidget;

namespace platform
{

struct LayerShellModule {
    bool (*compositorOffersLayerShell)();
    void (*useLayerShell)();
    void (*placeWindow)(QWidget *window, const QPoint &topLeft);
    QPoint (*pointerOnScreen)(const QWidget *window, const QMouseEvent *event);
    bool (*setLayerAbove)(WId window, bool above);
    bool (*setLayerInputRegion)(WId window, const QRegion &area);
};

} // namespace platform

// The file name of the module, without its suffix, and the name of its entry.
#define DESKMEMO_LAYER_SHELL_MODULE "deskMemo-layershell"
#define DESKMEMO_LAYER_SHELL_ENTRY "deskMemoLayerShellModule"
