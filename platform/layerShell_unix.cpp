#include "platform/layerShell.h"
#include "platform/layerShellModule.h"

#include <QFileInfo>
#include <QLibrary>
#include <QMouseEvent>
#include <QStringList>
#include <QWidget>

// Until the module is loaded (and on X11 it never is) the window system places and stacks
// windows itself, and the note moves like any window.
namespace platform
{
namespace
{

const LayerShellModule *loaded = nullptr;

// Beside the executable (a build, or a copied program), else where an installation or the
// package puts it, relative to the executable.
QStringList modulePaths()
{
    const QString executable = QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget();
    const QString folder = QFileInfo(executable).absolutePath();
    return {folder + QStringLiteral("/" DESKMEMO_LAYER_SHELL_MODULE),
            folder + QStringLiteral("/" DESKMEMO_MODULE_DIR_FROM_PROGRAM
                                    "/" DESKMEMO_LAYER_SHELL_MODULE)};
}

const LayerShellModule *loadModule()
{
    using Entry = const LayerShellModule *(*)();
    for (const QString &path : modulePaths()) {
        QLibrary module(path);
        if (const auto entry = reinterpret_cast<Entry>(module.resolve(DESKMEMO_LAYER_SHELL_ENTRY)))
            return entry();
    }
    return nullptr;
}

} // namespace

bool compositorOffersLayerShell()
{
    if (!loaded)
        loaded = loadModule();
    return loaded && loaded->compositorOffersLayerShell();
}

void useLayerShell()
{
    if (loaded)
        loaded->useLayerShell();
}

void placeWindow(QWidget *window, const QPoint &topLeft)
{
    if (loaded)
        loaded->placeWindow(window, topLeft);
    else
        window->move(topLeft);
}

QPoint pointerOnScreen(const QWidget *window, const QMouseEvent *event)
{
    return loaded ? loaded->pointerOnScreen(window, event) : event->globalPos();
}

bool setLayerAbove(WId window, bool above)
{
    return loaded && loaded->setLayerAbove(window, above);
}

bool setLayerInputRegion(WId window, const QRegion &area)
{
    return loaded && loaded->setLayerInputRegion(window, area);
}

} // namespace platform
