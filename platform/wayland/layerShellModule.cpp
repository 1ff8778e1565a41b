#include "platform/wayland/windowSystemPlugin.h"

#include <LayerShellQt/Shell>
#include <LayerShellQt/Window>

#include <QApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QMouseEvent>
#include <QPointer>
#include <QRegion>
#include <QScreen>
#include <QTransform>
#include <QWidget>
#include <QWindow>

#include <wayland-client.h>

#include <cstring>

namespace platform
{
namespace
{

using LayerWindow = LayerShellQt::Window;

// What the compositor offers, as its registry tells.
struct Compositor {
    bool layerShell = false;
    // KWin, the only compositor with KDE Plasma's shell global, whose habits NoteSurface
    // allows for.
    bool kwin = false;
};

void noteGlobal(void *data, wl_registry *, uint32_t, const char *interface, uint32_t)
{
    auto *compositor = static_cast<Compositor *>(data);
    if (std::strcmp(interface, "zwlr_layer_shell_v1") == 0)
        compositor->layerShell = true;
    else if (std::strcmp(interface, "org_kde_plasma_shell") == 0)
        compositor->kwin = true;
}

void noteGlobalRemoved(void *, wl_registry *, uint32_t) {}

bool qtPluginInstalled(const char *path)
{
    return QDir(QLibraryInfo::location(QLibraryInfo::PluginsPath)).exists(QLatin1String(path));
}

// Qt gives every surface of a Wayland client the top-left corner (0, 0) of its own: the
// pointer's "global" position is its place in the surface under it. Windows opened from the
// note (the menu at the pointer, dialogs centred on their parent) are therefore placed by Qt
// relative to the note's corner; windows of their own (a message box without a parent) relative
// to the screen's.
bool placedFromTheNote(const QWidget *window)
{
    return window->parentWidget() || window->windowType() == Qt::Popup ||
           window->windowType() == Qt::ToolTip;
}

// The note, its layer and its margins. Compositors differ in where they measure the pointer
// from while a button is held: sway from where the surface stood at the press, KWin 5.27 from
// where it stands at that moment. KWin also keeps hit-testing a surface that its margins moved
// at the place where the last motion of a drag found it: after a drag the note would take no
// click at its new place until the pointer had left it.
class NoteSurface : public QObject
{
public:
    NoteSurface(QWidget *note, bool kwin) : note(note), kwin(kwin)
    {
        above = note->windowFlags() & Qt::WindowStaysOnTopHint;
    }

    const QPointer<QWidget> note;
    bool above = false;
    // The corner of the surface's latest commit.
    QPoint topLeft;

    QPoint pointerOnScreen(const QPoint &inNote) const
    {
        return (kwin ? topLeft : grabOrigin) + inNote;
    }

    // The new margins take effect with the surface's next commit, which the repaint brings at
    // once: the pointer of the next event is then reported against this corner.
    void place(const QPoint &position)
    {
        topLeft = position;
        if (!note->windowHandle())
            return;
        setMargins(note, topLeft);
        if (note->isVisible())
            note->repaint();
    }

    // KWin 5.27 applies a layer change of a mapped surface only at its next restack, which may
    // be long in coming (the next click on another window). A surface mapped anew is stacked at
    // once, on the layer it was made for, and sway does the same; the note keeps its place and
    // its input region, which Qt sets again on the new surface.
    void setAbove(bool onTop)
    {
        above = onTop;
        mapAgain();
    }

protected:
    bool eventFilter(QObject *object, QEvent *event) override
    {
        if (event->type() == QEvent::MouseButtonPress && object == note)
            grabOrigin = topLeft;
        else if (event->type() == QEvent::MouseButtonRelease && object == note)
            endDrag();
        else if (event->type() == QEvent::Show)
            placeShownWindow(object);
        else if (event->type() == QEvent::Move && object != note)
            placeShownWindow(object);
        return false;
    }

private:
    void mapAgain()
    {
        note->hide();
        note->show();
    }

    // A surface mapped anew is hit-tested where it stands. It is mapped once the release has
    // been handled, not while Qt still counts the button as held.
    void endDrag()
    {
        if (kwin && topLeft != grabOrigin)
            QMetaObject::invokeMethod(this, &NoteSurface::mapAgain, Qt::QueuedConnection);
        grabOrigin = topLeft;
    }

    static LayerWindow *layerOf(QWidget *window)
    {
        return LayerWindow::get(window->windowHandle());
    }

    static void setMargins(QWidget *window, const QPoint &position)
    {
        const QPoint screen = window->screen() ? window->screen()->geometry().topLeft() : QPoint();
        const QPoint margins = position - screen;
        layerOf(window)->setMargins(QMargins(margins.x(), margins.y(), 0, 0));
    }

    void placeShownWindow(QObject *object)
    {
        auto *window = qobject_cast<QWidget *>(object);
        if (!window || !window->isWindow() || !window->windowHandle())
            return;
        LayerWindow *layer = layerOf(window);
        layer->setAnchors(LayerWindow::Anchors(LayerWindow::AnchorTop | LayerWindow::AnchorLeft));
        // A menu or a modal dialog takes the keyboard while it is open (KWin gives a surface that
        // only asks for it on demand no keys until it is clicked); the note and a dialog beside
        // it take it when clicked.
        const bool takesKeyboard = window->windowType() == Qt::Popup || window->isModal();
        layer->setKeyboardInteractivity(takesKeyboard ? LayerWindow::KeyboardInteractivityExclusive
                                                      : LayerWindow::KeyboardInteractivityOnDemand);
        if (window == note) {
            layer->setLayer(above ? LayerWindow::LayerTop : LayerWindow::LayerBottom);
            layer->setScope(QStringLiteral("deskMemo"));
            setMargins(note, topLeft);
            return;
        }
        layer->setLayer(LayerWindow::LayerOverlay);
        layer->setScope(QStringLiteral("deskMemo-dialog"));
        setMargins(window, onScreen(window));
    }

    // Where a window other than the note goes: as Qt placed it, kept on its screen.
    QPoint onScreen(const QWidget *window) const
    {
        const QPoint origin = placedFromTheNote(window) ? topLeft : QPoint();
        QRect area = window->geometry().translated(origin);
        if (const QScreen *screen = note->screen()) {
            const QRect screenArea = screen->geometry();
            area.moveRight(qMin(area.right(), screenArea.right()));
            area.moveBottom(qMin(area.bottom(), screenArea.bottom()));
            area.moveLeft(qMax(area.left(), screenArea.left()));
            area.moveTop(qMax(area.top(), screenArea.top()));
        }
        return area.topLeft();
    }

    const bool kwin;
    // The corner when the last button went down on the note.
    QPoint grabOrigin;
};

// On layer shell the program places its windows itself: the note at its margins from the
// screen's corner, on the layer below the windows or the one above them, and every other window
// of the program (menu, dialogs, message boxes) as a surface above all windows, placed where Qt
// puts it. Wayland tells no program where the pointer is on the screen: a drag moves by the
// pointer's travel within the note.
class LayerShellWindowSystem : public WindowSystem
{
public:
    explicit LayerShellWindowSystem(bool kwin) : kwin(kwin) {}

    // The first window placed is the note.
    bool placeWindow(QWidget *window, const QPoint &topLeft) override
    {
        if (!surface) {
            surface = new NoteSurface(window, kwin);
            surface->setParent(qApp);
            qApp->installEventFilter(surface);
        }
        if (window != surface->note) {
            window->move(topLeft);
            return true;
        }
        surface->place(topLeft);
        return true;
    }

    QPoint pointerOnScreen(const QWidget *window, const QMouseEvent *event) override
    {
        if (!surface || surface->note != window)
            return event->globalPos();
        return surface->pointerOnScreen(event->pos());
    }

    void setKeepAbove(WId, bool above) override
    {
        if (surface && surface->note)
            surface->setAbove(above);
    }

    // Qt tells a Wayland window's input region through the window's mask, in device-independent
    // pixels, which clips nothing that is painted there.
    void setInputRegion(WId window, const QRegion &area) override
    {
        for (QWindow *candidate : QGuiApplication::allWindows()) {
            if (!candidate->handle() || candidate->winId() != window)
                continue;
            const qreal ratio = candidate->devicePixelRatio();
            candidate->setMask(
                ratio == 1.0 ? area : QTransform::fromScale(1 / ratio, 1 / ratio).map(area));
        }
    }

private:
    const bool kwin;
    QPointer<NoteSurface> surface;
};

} // namespace

// The module's entry, found by Qt's plugin loader through the interface's identifier.
class LayerShellPlugin : public QObject, public WindowSystemPlugin
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID DESKMEMO_WINDOW_SYSTEM_PLUGIN_IID)
    Q_INTERFACES(platform::WindowSystemPlugin)

public:
    bool offered() override
    {
        if (!qtPluginInstalled("platforms/libqwayland-generic.so") ||
            !qtPluginInstalled("wayland-shell-integration/liblayer-shell.so"))
            return false;
        wl_display *display = wl_display_connect(nullptr);
        if (!display)
            return false;
        static const wl_registry_listener listener{noteGlobal, noteGlobalRemoved};
        wl_registry *registry = wl_display_get_registry(display);
        wl_registry_add_listener(registry, &listener, &compositor);
        if (wl_display_roundtrip(display) < 0)
            compositor = Compositor();
        wl_registry_destroy(registry);
        wl_display_disconnect(display);
        return compositor.layerShell;
    }

    std::unique_ptr<WindowSystem> create() override
    {
        LayerShellQt::Shell::useLayerShell();
        return std::make_unique<LayerShellWindowSystem>(compositor.kwin);
    }

private:
    Compositor compositor;
};

} // namespace platform

#include "layerShellModule.moc"
