#include "platform/wayland/noteSurface.h"

#include <LayerShellQt/Window>

#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>
#include <QWidget>
#include <QWindow>

namespace platform
{
namespace
{

using LayerWindow = LayerShellQt::Window;

LayerWindow *layerOf(QWidget *window)
{
    return LayerWindow::get(window->windowHandle());
}

void setMargins(QWidget *window, const QPoint &position, const QScreen *output)
{
    const QPoint margins = position - output->geometry().topLeft();
    layerOf(window)->setMargins(QMargins(margins.x(), margins.y(), 0, 0));
}

// The part of `area` that lies on `screen`, as a number of pixels.
qint64 overlap(const QRect &area, const QScreen *screen)
{
    const QRect common = area & screen->geometry();
    return qint64(common.width()) * common.height();
}

// Where a window that Qt put at `area` goes on `screen`: where it is, moved as little as needed
// to lie on the screen, or in the screen's middle when none of it lies there.
QPoint onScreen(QRect area, const QScreen *screen)
{
    const QRect screenArea = screen->geometry();
    if (!area.intersects(screenArea))
        area.moveCenter(screenArea.center());
    area.moveRight(qMin(area.right(), screenArea.right()));
    area.moveBottom(qMin(area.bottom(), screenArea.bottom()));
    area.moveLeft(qMax(area.left(), screenArea.left()));
    area.moveTop(qMax(area.top(), screenArea.top()));
    return area.topLeft();
}

} // namespace

NoteSurface::NoteSurface(QWidget *note, bool kwin)
    : QObject(note), noteWindow(note), kwin(kwin), topLeft(note->pos())
{
    above = note->windowFlags() & Qt::WindowStaysOnTopHint;
    qApp->installEventFilter(this);
}

QPoint NoteSurface::pointerOnScreen(const QPoint &inNote) const
{
    return (kwin ? topLeft : grabOrigin) + inNote;
}

// The new margins take effect with the surface's next commit, which the repaint brings at once:
// the pointer of the next event is then reported against this corner.
void NoteSurface::place(const QPoint &position)
{
    topLeft = position;
    if (!noteWindow->isVisible())
        return;
    if (!output || (!held && outputHolding(topLeft) != output)) {
        mapAgain();
        return;
    }
    setNoteMargins();
    noteWindow->repaint();
}

void NoteSurface::setAbove(bool onTop)
{
    above = onTop;
    mapAgain();
}

bool NoteSurface::eventFilter(QObject *object, QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        if (object == noteWindow) {
            grabOrigin = topLeft;
            held = static_cast<QMouseEvent *>(event)->buttons() == Qt::LeftButton;
        }
        break;
    case QEvent::MouseButtonRelease:
        if (object == noteWindow)
            endDrag();
        break;
    case QEvent::Show:
        if (object == noteWindow)
            makeNoteSurface();
        else if (auto *window = qobject_cast<QWidget *>(object))
            makeOtherSurface(window);
        break;
    case QEvent::Move:
        if (auto *window = qobject_cast<QWidget *>(object); window && window != noteWindow)
            makeOtherSurface(window);
        break;
    case QEvent::Close:
        // A compositor closes a layer surface whose output went away: the note is made anew on
        // an output that is there, and the program goes on.
        if (object == noteWindow->windowHandle()) {
            QMetaObject::invokeMethod(this, &NoteSurface::mapAgain, Qt::QueuedConnection);
            return true;
        }
        break;
    default:
        break;
    }
    return false;
}

void NoteSurface::mapAgain()
{
    noteWindow->hide();
    noteWindow->show();
}

// A surface mapped anew is hit-tested where it stands, and a note released on another output is
// made for that one. It is mapped once the release has been handled, not while Qt still counts
// the button as held.
void NoteSurface::endDrag()
{
    held = false;
    if ((kwin && topLeft != grabOrigin) || outputHolding(topLeft) != output)
        QMetaObject::invokeMethod(this, &NoteSurface::mapAgain, Qt::QueuedConnection);
    grabOrigin = topLeft;
}

// The note's surface is made when the note is shown: for the output that holds its position.
void NoteSurface::makeNoteSurface()
{
    if (!noteWindow->windowHandle())
        return;
    output = outputHolding(topLeft);
    LayerWindow *layer = layerOf(noteWindow);
    layer->setAnchors(LayerWindow::Anchors(LayerWindow::AnchorTop | LayerWindow::AnchorLeft));
    layer->setKeyboardInteractivity(LayerWindow::KeyboardInteractivityOnDemand);
    layer->setLayer(above ? LayerWindow::LayerTop : LayerWindow::LayerBottom);
    layer->setScope(QStringLiteral("deskMemo"));
    layer->setDesiredOutput(output);
    setNoteMargins();
}

void NoteSurface::setNoteMargins()
{
    if (output)
        setMargins(noteWindow, topLeft, output);
}

// A menu or a modal dialog takes the keyboard while it is open (KWin gives a surface that only
// asks for it on demand no keys until it is clicked); a dialog beside the note takes it when
// clicked.
void NoteSurface::makeOtherSurface(QWidget *window)
{
    QScreen *screen = noteOutput();
    if (!window->isWindow() || !window->windowHandle() || !screen)
        return;
    LayerWindow *layer = layerOf(window);
    layer->setAnchors(LayerWindow::Anchors(LayerWindow::AnchorTop | LayerWindow::AnchorLeft));
    const bool takesKeyboard = window->windowType() == Qt::Popup || window->isModal();
    layer->setKeyboardInteractivity(takesKeyboard ? LayerWindow::KeyboardInteractivityExclusive
                                                  : LayerWindow::KeyboardInteractivityOnDemand);
    layer->setLayer(LayerWindow::LayerOverlay);
    layer->setScope(QStringLiteral("deskMemo-dialog"));
    layer->setDesiredOutput(screen);
    setMargins(window, onScreen(window->geometry(), screen), screen);
}

// The output that shows most of the note at `position`; where none shows any of it, the one
// the note is on, or the main one.
QScreen *NoteSurface::outputHolding(const QPoint &position) const
{
    const QRect area(position, noteWindow->size());
    QScreen *holding = nullptr;
    qint64 most = 0;
    for (QScreen *screen : QGuiApplication::screens()) {
        if (overlap(area, screen) > most) {
            holding = screen;
            most = overlap(area, screen);
        }
    }
    return holding ? holding : noteOutput();
}

QScreen *NoteSurface::noteOutput() const
{
    return output ? output.data() : QGuiApplication::primaryScreen();
}

} // namespace platform
